#pragma once
// Support for the window tests: a temporary preferences file with the starter
// libraries, finding controls by name, and typing and picking the way a user
// does (so the dialogs' "typed" and "picked" handlers run).

#include "model/NewCircuit.h"
#include "model/Project.h"
#include "prefs/Options.h"
#include "ui/app/AppLocale.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>

namespace corvalt::test {

// The picture programs: saves the widget as it shows now (once pending events
// are done) as FOLDER/NAME.png; false, with a line on stderr, when it cannot.
// When the environment variable CORVALT_PICTURES lists names (separated by
// ","), the others are not taken: the build takes the user guide's this way.
inline bool SavePicture(QWidget& widget, const QDir& folder, const QString& name) {
    const QString wanted = qEnvironmentVariable("CORVALT_PICTURES");
    if (!wanted.isEmpty() && !wanted.split(QLatin1Char(',')).contains(name)) return true;
    QApplication::processEvents();
    const QPixmap picture = widget.grab();
    if (!picture.isNull() && picture.save(folder.filePath(name + QStringLiteral(".png"))))
        return true;
    std::fprintf(stderr, "could not save the picture %s\n", qPrintable(name));
    return false;
}

// The bytes of a file; empty when it cannot be read.
inline std::string ReadWholeFile(const std::filesystem::path& path) {
    QFile file(QString::fromStdString(path.string()));
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll().toStdString();
}

// A preferences file in a fresh temporary folder, removed afterwards.
class TTempPrefs {
  public:
    // An empty file, or one with the given content.
    explicit TTempPrefs(const std::string& content = {}) {
        if (!dir_.isValid()) throw std::runtime_error("no temporary folder");
        path_ = std::filesystem::path(dir_.path().toStdString()) / "corvalt.INI";
        if (!content.empty()) std::ofstream(path_, std::ios::binary) << content;
        options_ = std::make_unique<TOptions>(path_);
        options_->LoadLibraries();
    }
    TOptions& Options() { return *options_; }
    const std::filesystem::path& Path() const { return path_; }
    std::string FileText() const { return ReadWholeFile(path_); }

  private:
    QTemporaryDir dir_;
    std::filesystem::path path_;
    std::unique_ptr<TOptions> options_;
};

// A small library: three voltage classes, three conductor types, two ground wires.
inline const char* kSampleLibraries = "[General]\nEnterAsTab=1\n"
                                      "[Voltages]\n0=115,1.050,121\n1=230,1.050,242\n"
                                      "2=34.5,1.050,36\n"
                                      "[Conductors]\n0=|Drake|,28.143,907\n"
                                      "1=|Cardinal|,30.378,996\n2=|Penguin|,14.300,357\n"
                                      "[Ohgws]\n0=|3/8 EHS|,9.525\n1=|7#8 Alumoweld|,9.779\n";

// A cross section appended to the project.
inline TScenario& AddSection(TEmfProject& project) {
    return project.Scenarios[project.Scenarios.Add(std::make_unique<TScenario>(project))];
}

// A named circuit with perPhase conductors on each of A, B and C (at 0, 120 and
// 240 degrees) and groundWires ground wires; the test fills in the rest.
inline TNewCircuitValues CircuitWithConductors(const char* name, int perPhase, int groundWires) {
    TNewCircuitValues values;
    values.Name = name;
    values.Phases = {TPhaseRow{true, perPhase, 0}, TPhaseRow{true, perPhase, 120},
                     TPhaseRow{true, perPhase, 240}};
    values.Ground = {true, groundWires, 0};
    return values;
}

// The circuit made from the values, appended to the cross section.
inline TCircuit& AddCircuit(TScenario& section, const TNewCircuitValues& values) {
    return section.Circuits[section.Circuits.Add(CreateNewCircuit(section, values))];
}

// The control of the dialog with that object name; fails the test when absent.
template <class T> T* Find(const QWidget& parent, const char* name) {
    T* widget = parent.findChild<T*>(QString::fromLatin1(name));
    if (widget == nullptr) throw std::runtime_error(std::string("no control ") + name);
    return widget;
}

// Replaces a field's text by typing, as a user does.
inline void Type(QLineEdit& field, const QString& text) {
    field.setFocus();
    field.selectAll();
    if (text.isEmpty())
        QTest::keyClick(&field, Qt::Key_Delete);
    else
        QTest::keyClicks(&field, text);
}

// Runs action on the next modal dialog of type D once it is open (for dialogs
// that a command opens with exec). The action must close the dialog. The
// event loop of a dialog closing may run it before the next one opens: it
// then looks again a little later, for up to half a second.
template <class D, class Action> void WhenModal(Action action, int triesLeft = 50) {
    QTimer::singleShot(triesLeft == 50 ? 0 : 10, [action, triesLeft] {
        auto* dialog = qobject_cast<D*>(QApplication::activeModalWidget());
        if (dialog == nullptr && triesLeft > 0) {
            WhenModal<D>(action, triesLeft - 1);
            return;
        }
        if (dialog == nullptr) {
            qWarning("expected modal dialog did not open");
            if (QWidget* other = QApplication::activeModalWidget()) other->close();
            return;
        }
        action(*dialog);
    });
}

// Picks an entry of a pick list, as a user does.
inline void Pick(QComboBox& combo, int index) {
    combo.setCurrentIndex(index);
    emit combo.activated(index);
}

} // namespace corvalt::test
