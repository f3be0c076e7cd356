#pragma once
// Shared pieces of the engine tests: a report made of lambdas, and a sample
// page that uses every kind of drawing command.

#include "engine/PageCanvas.h"

#include <QStringList>

#include <functional>

namespace corvalt::test {

// A report whose page events are lambdas; empty ones do nothing.
struct TLambdaReport : TPageEvents {
    std::function<void(TPageCanvas&)> Before, Body, Header, Footer;
    void BeforePrint(TPageCanvas& c) override {
        if (Before) Before(c);
    }
    void Print(TPageCanvas& c) override {
        if (Body) Body(c);
    }
    void PrintHeader(TPageCanvas& c) override {
        if (Header) Header(c);
    }
    void PrintFooter(TPageCanvas& c) override {
        if (Footer) Footer(c);
    }
};

// Runs a body without header or footer and returns the pages.
TPageList RunBody(const std::function<void(TPageCanvas&)>& body);

// A small 16-colour-like bitmap: a red disc on a cyan ring, 32 × 32 pixels.
QImage SampleBitmap();

// A report of `pages` pages with a header, a footer, boxed and shaded cells,
// bold text, lines, a frame and a bitmap on every page; and its pages.
TLambdaReport SampleReport(int pages = 2);
TPageList SamplePages(int pages = 2);

// Whether the program is on the PATH, and its standard output for the
// arguments (a PDF tool of poppler-utils).
bool HasTool(const char* tool);
QString RunTool(const QString& tool, const QStringList& args);

} // namespace corvalt::test
