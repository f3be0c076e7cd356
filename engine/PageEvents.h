#pragma once
// The four page events through which a report plugs into the page canvas.
//
// TPageCanvas::Run calls them in this order: BeforePrint once; PrintHeader at
// the start of page 1; Print once (the body, which breaks pages itself with
// NewPage: each NewPage calls PrintFooter for the page it ends and PrintHeader
// for the page it starts); PrintFooter once more for the last page.

namespace corvalt {

class TPageCanvas;

class TPageEvents {
  public:
    virtual ~TPageEvents() = default;

    // Once before page 1 has its header: the report keeps the canvas and works
    // out its page geometry.
    virtual void BeforePrint(TPageCanvas& canvas) = 0;
    // The body of the report.
    virtual void Print(TPageCanvas& canvas) = 0;
    // At the start and at the end of every page. A report without header or
    // footer leaves them empty.
    virtual void PrintHeader(TPageCanvas& /*canvas*/) {}
    virtual void PrintFooter(TPageCanvas& /*canvas*/) {}
};

} // namespace corvalt
