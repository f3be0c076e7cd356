#pragma once
// Pages to paint one after another: the recorded pages in memory (the preview,
// the tests) or a page file read a page at a time (TPageFileReader), so that a
// PDF export of a long report need hold only the page it paints.

#include "engine/PageModel.h"

#include <QString>

#include <cstddef>
#include <vector>

namespace corvalt {

class TPageSource {
  public:
    virtual ~TPageSource() = default;
    virtual double PaperWidth() const = 0;  // in
    virtual double PaperHeight() const = 0; // in
    virtual std::size_t PageCount() const = 0;
    virtual const std::vector<TSectionMark>& Sections() const = 0;
    // The page at index (below PageCount()); it stays valid until the next
    // call. Null when it can no longer be read; Error() then says why.
    virtual const TPage* Page(std::size_t index) = 0;
    virtual QString Error() const { return {}; }
};

// The pages of a page list held in memory; the list must outlive the source.
class TPageListSource final : public TPageSource {
  public:
    explicit TPageListSource(const TPageList& pages) : pages_(pages) {}
    double PaperWidth() const override { return pages_.Width; }
    double PaperHeight() const override { return pages_.Height; }
    std::size_t PageCount() const override { return pages_.Pages.size(); }
    const std::vector<TSectionMark>& Sections() const override { return pages_.Sections; }
    const TPage* Page(std::size_t index) override { return &pages_.Pages[index]; }

  private:
    const TPageList& pages_;
};

} // namespace corvalt
