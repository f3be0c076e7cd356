#pragma once
// Where a drawing puts its labels so that none meets another, a line or a
// symbol: the leader from a marked point (a conductor or a sensor of the phase
// configuration drawing) to its label, and the rows of captions (under the
// drawing's ground line). Numbers in and out, in the drawing's units (inches,
// pixels; y downwards); no painter and no fonts: the caller measures the texts.

#include "labels/ShapeGrid.h"

#include <QLineF>
#include <QPointF>
#include <QRectF>

#include <cstddef>
#include <limits>
#include <optional>
#include <vector>

namespace corvalt {

// Direction of a leader's first stroke (up is negative y); None draws no
// leader and prints the label at the point.
enum class TLeader { None, Left, Right, LeftUp, LeftDown, RightUp, RightDown };

// The steps of a leader: its first stroke goes dh across and dv up or down,
// its second stroke dh across.
struct TLeaderSteps {
    double Dh = 0, Dv = 0; // in
};

// A label to place for a marked point.
struct TLabelRequest {
    QPointF Mark;
    TLeader Preferred = TLeader::None;
    double TextWidth = 0; // in
    // The label's box reaches this far above and below its baseline, in.
    double Ascent = 0, Descent = 0;
    // The label's font size, in: with QuarterShift the label moves a quarter of
    // it down (up for leaders that go down) from the leader's end.
    double FontHeight = 0;
    bool QuarterShift = false;
    TLeaderSteps Steps;
    // Steps of longer leaders when Steps are zero (labels printed at the point):
    // a label that finds no room there is led away with these.
    TLeaderSteps LongerSteps;
    // Leaders up to this many times the steps long are tried.
    int LongestLeader = kLongestLeader;
    static constexpr int kLongestLeader = 4;
    // The symbol of the marked point among the layout's symbols, which its own
    // label may come closer to than the clearance; kNoSymbol when it has none.
    std::size_t OwnSymbol = kNoSymbol;
    static constexpr std::size_t kNoSymbol = std::numeric_limits<std::size_t>::max();
};

// Where a label goes: the leader as a polyline from the mark (empty without a
// leader), the start of the label's baseline and the box the label covers.
struct TLabelPlace {
    TLeader Leader = TLeader::None;
    std::vector<QPointF> LeaderPoints;
    QPointF Baseline;
    QRectF Box;
    // False when every candidate met something; the place is then the one that
    // met the fewest things.
    bool Clear = true;
};

// Room between the end of a leader and its label's text, in.
inline constexpr double kLeaderToLabel = 0.03;

// The place of the label with the leader in the direction, `length` times the
// steps long in its first stroke (1 is the drawing's ordinary leader). The
// label's baseline lies 0.02 in below the leader's end; the label starts
// kLeaderToLabel beyond the end (ends that far short of it for a leader to
// the left). A label without a leader starts at its point (a label of a
// leftward direction ends 0.02 in past it).
TLabelPlace LabelPlaceFor(const TLabelRequest& request, TLeader leader, int length);

// Places labels one after the other so that no label meets what the layout
// holds: the labels and leaders placed before it, the boxes and lines added
// (captions, structure lines, ROW lines), the symbols of other points, and
// the bounds (the frame). "Meets" includes coming closer than the clearance.
// What the layout holds is kept in grids over the bounds, so that a place is
// tested against the things near it only (the counts are those of testing
// every thing), and identical lines and boxes are tested once.
class TLabelLayout {
  public:
    TLabelLayout(const QRectF& bounds, double clearance);

    void AddBox(const QRectF& box);
    void AddLine(const QLineF& line);
    // Returns the symbol's index, for TLabelRequest::OwnSymbol.
    std::size_t AddSymbol(const QRectF& symbol);

    // Tries the preferred direction, its vertical mirror and the horizontal
    // leader on the same side, first with the ordinary leader and then with
    // longer ones (two, three and four times as long unless the request says
    // otherwise); then the same on the other side. The first place that meets nothing and whose
    // leader crosses no line, leader or symbol is taken, else the first that meets nothing, else
    // the one inside the bounds that meets the fewest things (a label with no place inside them is
    // moved in); it is kept in the layout.
    TLabelPlace Place(const TLabelRequest& request);
    // The same, but only a place that meets nothing is taken and kept; none
    // when there is no such place.
    std::optional<TLabelPlace> PlaceIfClear(const TLabelRequest& request);

    // How many things the place's label (and its leader, with labels) meets;
    // 0: it is clear.
    int Conflicts(const TLabelPlace& place, std::size_t ownSymbol) const;
    // How many lines, leaders and other symbols the place's leader crosses.
    int Crossings(const TLabelPlace& place, std::size_t ownSymbol) const;

  private:
    TLabelPlace BestPlace(const TLabelRequest& request) const;
    void Keep(const TLabelPlace& place);
    bool Inside(const TLabelPlace& place) const;
    TLabelPlace PulledInside(TLabelPlace place) const;

    QRectF bounds_;
    double clearance_;
    TShapeGrid<QRectF> boxes_{bounds_, true};
    TShapeGrid<QLineF> lines_{bounds_, true};
    TShapeGrid<QRectF> symbols_{bounds_, false}; // by index, for OwnSymbol
};

// The directions Place tries for a preferred direction, in order: three on
// the preferred side, then three on the other (a mark without a direction
// counts as leading to the right).
std::vector<TLeader> LeaderCandidates(TLeader preferred);

// Whether a line segment meets a rectangle (touching counts).
bool SegmentMeetsRect(const QLineF& segment, const QRectF& rect);

// Captions under the ground line are stacked in rows: each caption, given by
// its horizontal extent (left, right), goes into the first row where it keeps
// `gap` from every caption already there. Returns the row of each, from 0.
std::vector<int> CaptionRows(const std::vector<std::pair<double, double>>& extents, double gap);

} // namespace corvalt
