// corvalt-make-guide: turns the user guide's Markdown pages into the HTML pages
// the help window shows.
//   corvalt-make-guide OUTPUT_FOLDER PAGE.md...
// A heading may end in "{#id}": the id becomes the heading's anchor, which
// links ("page.md#id") and the dialogs' F1 key lead to. Links to other pages
// are rewritten from .md to .html; a link to a page or an anchor that does not
// exist, or an id given twice, fails the build. A picture
// ("![text](images/NAME.png)") is shown at most kPictureWidth pixels wide when
// OUTPUT_FOLDER/images/NAME.png exists, and left out when it does not (the
// guide of a build without its pictures). Exit 0 on success, 1 on a fault in
// the pages, 2 on unusable arguments or files.
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageReader>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>

#include <cstdio>
#include <map>
#include <set>
#include <vector>

namespace {

constexpr int kPictureWidth = 720;
constexpr int kHeadingSpace = 12; // pixels above a heading, half of it below

struct TPage {
    QString Name; // file name without ".md"
    std::unique_ptr<QTextDocument> Document;
    std::set<QString> Ids;
    std::vector<QString> Links; // "page.html#id" or "page.html", as rewritten
};

void Fail(const QString& text) {
    std::fprintf(stderr, "corvalt-make-guide: %s\n", qUtf8Printable(text));
}

// Takes "{#id}" off the end of each heading and makes the heading its anchor.
bool MarkHeadings(TPage& page, std::set<QString>& allIds) {
    static const QRegularExpression idMark(QStringLiteral("\\s*\\{#([a-z0-9-]+)\\}\\s*$"));
    for (QTextBlock block = page.Document->begin(); block.isValid(); block = block.next()) {
        if (block.blockFormat().headingLevel() == 0) continue;
        const QRegularExpressionMatch match = idMark.match(block.text());
        if (!match.hasMatch()) continue;
        const QString id = match.captured(1);
        if (!allIds.insert(id).second) {
            Fail(QStringLiteral("%1.md: the id \"%2\" is given twice").arg(page.Name, id));
            return false;
        }
        page.Ids.insert(id);
        QTextCursor cursor(block);
        QTextBlockFormat spaced = block.blockFormat();
        spaced.setTopMargin(kHeadingSpace);
        spaced.setBottomMargin(kHeadingSpace / 2);
        cursor.setBlockFormat(spaced);
        cursor.setPosition(block.position() + match.capturedStart());
        cursor.setPosition(block.position() + block.length() - 1, QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
        cursor.setPosition(block.position());
        cursor.setPosition(block.position() + block.length() - 1, QTextCursor::KeepAnchor);
        QTextCharFormat anchor;
        anchor.setAnchor(true);
        anchor.setAnchorNames({id});
        cursor.mergeCharFormat(anchor);
    }
    return true;
}

// Rewrites links to other pages and sizes or drops the pictures.
void FixLinksAndPictures(TPage& page, const QString& outputFolder) {
    static const QRegularExpression pageLink(QStringLiteral("^([a-z0-9-]+)\\.md(#.*)?$"));
    for (QTextBlock block = page.Document->begin(); block.isValid(); block = block.next()) {
        // Collected first: changing a format splits and merges the fragments.
        struct TChange {
            int Position, Length;
            QTextCharFormat Format;
            bool Remove;
        };
        std::vector<TChange> changes;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            QTextCharFormat format = fragment.charFormat();
            if (format.isImageFormat()) {
                QTextImageFormat image = format.toImageFormat();
                const QImageReader reader(outputFolder + QLatin1Char('/') + image.name());
                const QSize size = reader.size();
                if (!size.isValid()) {
                    changes.push_back({fragment.position(), fragment.length(), {}, true});
                    continue;
                }
                if (size.width() > kPictureWidth) {
                    image.setWidth(kPictureWidth);
                    image.setHeight(double(size.height()) * kPictureWidth / size.width());
                }
                changes.push_back({fragment.position(), fragment.length(), image, false});
            } else if (format.isAnchor() && !format.anchorHref().isEmpty()) {
                const QRegularExpressionMatch match = pageLink.match(format.anchorHref());
                if (!match.hasMatch()) continue;
                const QString target =
                    match.captured(1) + QStringLiteral(".html") + match.captured(2);
                page.Links.push_back(target);
                format.setAnchorHref(target);
                changes.push_back({fragment.position(), fragment.length(), format, false});
            }
        }
        for (auto change = changes.rbegin(); change != changes.rend(); ++change) {
            QTextCursor cursor(page.Document.get());
            cursor.setPosition(change->Position);
            cursor.setPosition(change->Position + change->Length, QTextCursor::KeepAnchor);
            if (change->Remove)
                cursor.removeSelectedText();
            else
                cursor.setCharFormat(change->Format);
        }
    }
}

bool LinksResolve(const std::vector<TPage>& pages) {
    std::map<QString, const TPage*> byFile;
    for (const TPage& page : pages)
        byFile[page.Name + QStringLiteral(".html")] = &page;
    bool ok = true;
    for (const TPage& page : pages) {
        for (const QString& link : page.Links) {
            const QString file = link.section(QLatin1Char('#'), 0, 0);
            const QString id = link.section(QLatin1Char('#'), 1);
            const auto target = byFile.find(file);
            if (target == byFile.end() || (!id.isEmpty() && !target->second->Ids.count(id))) {
                Fail(QStringLiteral("%1.md: the link \"%2\" leads nowhere").arg(page.Name, link));
                ok = false;
            }
        }
    }
    return ok;
}

// The page's HTML. The body names no font, so that the help window shows the
// guide in the desktop's font rather than in the one of the build machine.
QByteArray Html(const QTextDocument& document) {
    static const QRegularExpression bodyStyle(QStringLiteral("<body style=\"[^\"]*\">"));
    return document.toHtml().replace(bodyStyle, QStringLiteral("<body>")).toUtf8();
}

bool Write(const TPage& page, const QString& outputFolder) {
    QSaveFile file(outputFolder + QLatin1Char('/') + page.Name + QStringLiteral(".html"));
    if (!file.open(QIODevice::WriteOnly) || file.write(Html(*page.Document)) < 0 ||
        !file.commit()) {
        Fail(QStringLiteral("%1: %2").arg(file.fileName(), file.errorString()));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char* argv[]) {
    // Fonts and pictures need a GUI application; the pages need no screen.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: corvalt-make-guide OUTPUT_FOLDER PAGE.md...\n");
        return 2;
    }
    const QString outputFolder = QString::fromLocal8Bit(argv[1]);
    std::vector<TPage> pages;
    std::set<QString> allIds;
    for (int i = 2; i < argc; ++i) {
        QFile source(QString::fromLocal8Bit(argv[i]));
        if (!source.open(QIODevice::ReadOnly)) {
            Fail(QStringLiteral("%1: %2").arg(source.fileName(), source.errorString()));
            return 2;
        }
        TPage page;
        page.Name = QFileInfo(source.fileName()).completeBaseName();
        page.Document = std::make_unique<QTextDocument>();
        page.Document->setMarkdown(QString::fromUtf8(source.readAll()),
                                   QTextDocument::MarkdownDialectGitHub);
        if (!MarkHeadings(page, allIds)) return 1;
        page.Document->setMetaInformation(QTextDocument::DocumentTitle,
                                          page.Document->begin().text());
        FixLinksAndPictures(page, outputFolder);
        pages.push_back(std::move(page));
    }
    if (!LinksResolve(pages)) return 1;
    for (const TPage& page : pages)
        if (!Write(page, outputFolder)) return 2;
    return 0;
}
