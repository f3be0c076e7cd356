#pragma once
// Entry fields for numbers: they accept only their picture (digits before and
// after a "." decimal point, a minus sign where negative values are allowed) and
// their range, whatever the locale, and read and show numbers with "." always.

#include <QLineEdit>
#include <QValidator>

#include <optional>
#include <string>

class QLabel;

namespace corvalt::ui {

// A field's picture: at most IntDigits digits before the point and Decimals
// after it (0: whole numbers, no point), and the range of values it takes.
// Every range holds 0, so a text that is out of range cannot come back into it
// by typing more digits.
struct TNumberPicture {
    int IntDigits = 5;
    int Decimals = 0;
    double Min = 0;
    double Max = 0;
};

// The picture of a mask such as "#####.##" (5 digits, 2 decimals) with the range
// it allows by default: from 0, or from the most negative value the mask can
// hold when negative values are allowed, up to the largest it can hold.
TNumberPicture Picture(const char* mask, bool negativeAllowed);
// The same with an explicit range.
TNumberPicture Picture(const char* mask, double min, double max);

// The value as a field of that many decimals shows it: "." as decimal point,
// rounded half away from zero, never "-0".
QString FormatNumber(double value, int decimals);

// The text as a number with "." as decimal point; nullopt when empty or not a
// number.
std::optional<double> ParseNumber(const QString& text);

// The picture's range as a field shows its values: "-99.9 to 99.9".
QString RangeText(const TNumberPicture& picture);

// Why a whole text is refused by the picture, in words that follow the text
// ("is not a number", "has more than 1 decimal", "is outside -99.9 to 99.9");
// nothing when the picture takes it. Blanks around the text do not count.
std::optional<QString> NumberRefusal(const TNumberPicture& picture, const QString& text);

// Accepts the texts of one picture. Partial entries ("", "-", "12.") are
// intermediate; a text outside the picture or the range is refused outright.
class TNumberValidator : public QValidator {
    Q_OBJECT
  public:
    explicit TNumberValidator(const TNumberPicture& picture, QObject* parent = nullptr);
    State validate(QString& input, int& pos) const override;
    const TNumberPicture& NumberPicture() const { return picture_; }

  private:
    TNumberPicture picture_;
};

// A line edit for one number. It remembers the exact value it was last given, so
// a field the user leaves alone gives that value back unrounded (a stored 12.345
// shown as "12.3" stays 12.345); once edited, it gives the typed number. Entering
// the field selects its text.
class TNumberField : public QLineEdit {
    Q_OBJECT
  public:
    explicit TNumberField(const TNumberPicture& picture, QWidget* parent = nullptr);

    void SetValue(double value); // shows it with the picture's decimals
    void Clear();                // empty text, reads as 0
    // The value: the one given to SetValue while the text is unchanged, else the
    // typed number, 0 when empty or not a number.
    double Value() const;
    float FloatValue() const { return static_cast<float>(Value()); }
    int IntValue() const; // rounded to the nearest whole number
    // The value, or nullopt while the field is empty or holds no number yet.
    std::optional<double> Number() const;
    // The value as an exact decimal text: the typed text once edited, else the
    // shortest text of the (single-precision) value given, which may have more
    // decimals than the field shows (a factor 1.025 in a two-decimal field).
    std::string DecimalText() const;

    const TNumberPicture& NumberPicture() const { return picture_; }
    // Takes another picture (a field whose unit changes); the text stays as it
    // is until the next SetValue.
    void SetPicture(const TNumberPicture& picture);

    // What the field's tool tip says it takes: "From 0.0 to 999.9 ft", with the
    // unit label beside it (UnitLabelBeside), or the range alone without one.
    QString RangeHint() const;

    // Wide enough for the picture, not for a whole row.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  protected:
    bool event(QEvent* event) override; // the tool tip: own hint, then RangeHint
    void focusInEvent(QFocusEvent* event) override;

  private:
    TNumberPicture picture_;
    double givenValue_ = 0;
    QString givenText_;
};

// The unit label of a field: the plain label (no buddy of its own) right after
// it in its row of the layout, as the dialogs place "ft", "kV", "Amps"; nullptr
// when there is none.
const QLabel* UnitLabelBeside(const QWidget& field);

// A count of sub-conductors: 0 is replaced by 1 as soon as it is typed or shown,
// since a bundle has at least one conductor.
void KeepCountAtLeastOne(TNumberField& field);

} // namespace corvalt::ui
