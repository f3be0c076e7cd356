#pragma once
// THelpWindow ("Corvalt User Guide"): the user guide inside the program, a
// browser of its HTML pages with Contents, Back and Forward; links out of the
// guide open in the desktop's browser. The guide lies in share/corvalt/guide/
// beside the programs' bin/ folder (GuideFolder).
//
//   ShowHelp(owner, QStringLiteral("building.html#circuits"));
//       // the owner's help window (made at the first call) at that section;
//       // a message naming the folder looked in when the guide is missing

#include <QString>
#include <QWidget>

class QTextBrowser;

namespace corvalt::ui {

// The guide's first page, its contents.
inline constexpr const char* kGuideContents = "index.html";

// Where the guide of the program file lies: ../share/corvalt/guide beside it.
QString GuideFolder(const QString& programFile);

class THelpWindow : public QWidget {
    Q_OBJECT
  public:
    explicit THelpWindow(const QString& folder, QWidget* parent = nullptr);

    // Shows topic, a page of the guide with an optional "#section".
    void ShowTopic(const QString& topic);
    QTextBrowser& Browser() const { return *browser_; }

  private:
    QString folder_;
    QTextBrowser* browser_ = nullptr;
};

// Opens the guide at topic in owner's help window, a window of its own kept
// as owner's child (so that it takes input beside a modal dialog that owns it
// and goes with it). Returns that window, or null when the guide is missing.
THelpWindow* ShowHelp(QWidget& owner, const QString& topic);

} // namespace corvalt::ui
