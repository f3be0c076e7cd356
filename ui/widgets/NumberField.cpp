#include "ui/widgets/NumberField.h"

#include "prefs/NumberText.h"
#include "ui/widgets/ReadableText.h"

#include <QFocusEvent>
#include <QGridLayout>
#include <QHelpEvent>
#include <QLabel>
#include <QLocale>
#include <QRegularExpression>
#include <QTimer>
#include <QToolTip>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace corvalt::ui {
namespace {

// The largest value of a picture: IntDigits nines, then Decimals nines.
double PictureLimit(int intDigits, int decimals) {
    return std::pow(10.0, intDigits) - std::pow(10.0, -decimals);
}

QRegularExpression PatternOf(const TNumberPicture& picture) {
    QString pattern = QStringLiteral("^");
    if (picture.Min < 0) pattern += QStringLiteral("-?");
    pattern += QStringLiteral("\\d{0,%1}").arg(picture.IntDigits);
    if (picture.Decimals > 0) pattern += QStringLiteral("(\\.\\d{0,%1})?").arg(picture.Decimals);
    pattern += QStringLiteral("$");
    return QRegularExpression(pattern);
}

bool HasDigit(const QString& text) {
    for (const QChar c : text)
        if (c.isDigit()) return true;
    return false;
}

// The label of a unit: plain text that names no other control.
const QLabel* AsUnit(const QLayoutItem* item) {
    const auto* label = item != nullptr ? qobject_cast<const QLabel*>(item->widget()) : nullptr;
    return label != nullptr && label->buddy() == nullptr && !label->text().isEmpty() ? label
                                                                                     : nullptr;
}

// The unit of the field when the layout (or one inside it) holds the field:
// the label right after it in its row. found tells whether the field was met.
const QLabel* UnitIn(const QLayout& layout, const QWidget& field, bool& found) {
    const int index = layout.indexOf(&field);
    if (index >= 0) {
        found = true;
        if (const auto* grid = qobject_cast<const QGridLayout*>(&layout)) {
            int row = 0, column = 0, rows = 0, columns = 0;
            grid->getItemPosition(index, &row, &column, &rows, &columns);
            return AsUnit(grid->itemAtPosition(row, column + columns));
        }
        const auto* box = qobject_cast<const QBoxLayout*>(&layout);
        if (box != nullptr && box->direction() == QBoxLayout::LeftToRight)
            return AsUnit(layout.itemAt(index + 1));
        return nullptr;
    }
    for (int i = 0; i < layout.count() && !found; ++i)
        if (const QLayout* inner = layout.itemAt(i)->layout()) {
            const QLabel* unit = UnitIn(*inner, field, found);
            if (found) return unit;
        }
    return nullptr;
}

} // namespace

const QLabel* UnitLabelBeside(const QWidget& field) {
    const QWidget* parent = field.parentWidget();
    if (parent == nullptr || parent->layout() == nullptr) return nullptr;
    bool found = false;
    return UnitIn(*parent->layout(), field, found);
}

TNumberPicture Picture(const char* mask, double min, double max) {
    const char* point = std::strchr(mask, '.');
    const int length = static_cast<int>(std::strlen(mask));
    TNumberPicture picture;
    picture.IntDigits = point != nullptr ? static_cast<int>(point - mask) : length;
    picture.Decimals = point != nullptr ? length - picture.IntDigits - 1 : 0;
    picture.Min = min;
    picture.Max = max;
    return picture;
}

TNumberPicture Picture(const char* mask, bool negativeAllowed) {
    TNumberPicture picture = Picture(mask, 0, 0);
    const double limit = PictureLimit(picture.IntDigits, picture.Decimals);
    picture.Min = negativeAllowed ? -limit : 0;
    picture.Max = limit;
    return picture;
}

QString FormatNumber(double value, int decimals) {
    if (!std::isfinite(value)) value = 0;
    QString text = QString::number(value, 'f', decimals);
    if (text.startsWith(QLatin1Char('-')) && !text.contains(QRegularExpression("[1-9]")))
        text.remove(0, 1);
    return text;
}

std::optional<double> ParseNumber(const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty() || !HasDigit(trimmed)) return std::nullopt;
    bool ok = false;
    const double value = QLocale::c().toDouble(trimmed, &ok);
    if (!ok || !std::isfinite(value)) return std::nullopt;
    return value;
}

QString RangeText(const TNumberPicture& picture) {
    return QStringLiteral("%1 to %2")
        .arg(FormatNumber(picture.Min, picture.Decimals),
             FormatNumber(picture.Max, picture.Decimals));
}

std::optional<QString> NumberRefusal(const TNumberPicture& picture, const QString& text) {
    const QString trimmed = text.trimmed();
    const std::optional<double> value = ParseNumber(trimmed);
    if (!value) return QStringLiteral("is not a number");
    if (*value < picture.Min || *value > picture.Max)
        return QStringLiteral("is outside ") + RangeText(picture);
    if (PatternOf(picture).match(trimmed).hasMatch()) return std::nullopt;
    const qsizetype point = trimmed.indexOf(QLatin1Char('.'));
    if (point >= 0 && trimmed.size() - point - 1 > picture.Decimals)
        return picture.Decimals == 0 ? QStringLiteral("is not a whole number")
                                     : QStringLiteral("has more than %1 decimal%2")
                                           .arg(picture.Decimals)
                                           .arg(picture.Decimals == 1 ? "" : "s");
    return QStringLiteral("is not a plain decimal number");
}

TNumberValidator::TNumberValidator(const TNumberPicture& picture, QObject* parent)
    : QValidator(parent), picture_(picture) {}

QValidator::State TNumberValidator::validate(QString& input, int& /*pos*/) const {
    if (!PatternOf(picture_).match(input).hasMatch()) return Invalid;
    const std::optional<double> value = ParseNumber(input);
    if (!value) return Intermediate; // "", "-", ".", "-."
    if (*value < picture_.Min || *value > picture_.Max) return Invalid;
    return Acceptable;
}

TNumberField::TNumberField(const TNumberPicture& picture, QWidget* parent)
    : QLineEdit(parent), picture_(picture) {
    setValidator(new TNumberValidator(picture, this));
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    // A blank field's grey hint shows the default it stands for: readable.
    UseReadablePlaceholder(*this);
    givenText_ = text();
}

void TNumberField::SetPicture(const TNumberPicture& picture) {
    picture_ = picture;
    QValidator* old = const_cast<QValidator*>(validator());
    setValidator(new TNumberValidator(picture, this));
    delete old;
    updateGeometry();
}

void TNumberField::SetValue(double value) {
    givenValue_ = std::isfinite(value) ? value : 0;
    givenText_ = FormatNumber(givenValue_, picture_.Decimals);
    setText(givenText_);
}

void TNumberField::Clear() {
    givenValue_ = 0;
    givenText_.clear();
    clear();
}

std::optional<double> TNumberField::Number() const {
    if (text() == givenText_ && !givenText_.isEmpty()) return givenValue_;
    return ParseNumber(text());
}

std::string TNumberField::DecimalText() const {
    if (text() == givenText_ && !givenText_.isEmpty())
        return FormatShortest(static_cast<float>(givenValue_));
    return text().trimmed().toStdString();
}

double TNumberField::Value() const {
    return Number().value_or(0.0);
}

int TNumberField::IntValue() const {
    const double value = std::round(Value());
    const double limit = std::numeric_limits<int>::max();
    return static_cast<int>(std::clamp(value, -limit, limit));
}

QSize TNumberField::sizeHint() const {
    const int characters = picture_.IntDigits + picture_.Decimals + 3; // sign, point, room
    const QSize base = QLineEdit::sizeHint();
    const int width = fontMetrics().horizontalAdvance(QLatin1Char('0')) * characters +
                      textMargins().left() + textMargins().right() + 12;
    return {width, base.height()};
}

QSize TNumberField::minimumSizeHint() const {
    return sizeHint();
}

QString TNumberField::RangeHint() const {
    const QLabel* unit = UnitLabelBeside(*this);
    QString hint = QStringLiteral("From ") + RangeText(picture_);
    if (unit != nullptr) hint += QLatin1Char(' ') + unit->text();
    return hint;
}

bool TNumberField::event(QEvent* event) {
    if (event->type() != QEvent::ToolTip) return QLineEdit::event(event);
    // The range and unit as they are now (the unit may follow the project's
    // units), after the field's own hint if it has one.
    const QString own = toolTip();
    QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(),
                       own.isEmpty() ? RangeHint() : own + QLatin1Char('\n') + RangeHint(), this);
    return true;
}

void TNumberField::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    // A mouse click places the cursor after this event; select once it has.
    QTimer::singleShot(0, this, &QLineEdit::selectAll);
}

void KeepCountAtLeastOne(TNumberField& field) {
    QObject::connect(&field, &QLineEdit::textChanged, &field, [&field](const QString& text) {
        if (ParseNumber(text) == 0.0) field.SetValue(1);
    });
}

} // namespace corvalt::ui
