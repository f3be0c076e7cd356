#include "ui/widgets/NumberField.h"

#include "prefs/NumberText.h"

#include <QFocusEvent>
#include <QLocale>
#include <QRegularExpression>
#include <QTimer>

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

} // namespace

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

std::optional<QString> NumberRefusal(const TNumberPicture& picture, const QString& text) {
    const QString trimmed = text.trimmed();
    const std::optional<double> value = ParseNumber(trimmed);
    if (!value) return QStringLiteral("is not a number");
    if (*value < picture.Min || *value > picture.Max)
        return QStringLiteral("is outside %1 to %2")
            .arg(FormatNumber(picture.Min, picture.Decimals),
                 FormatNumber(picture.Max, picture.Decimals));
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
