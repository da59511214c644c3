#include "NumericUpDown.h"

#include <algorithm>
#include <cmath>

NumericUpDown::NumericUpDown(QWidget* parent) : QDoubleSpinBox(parent) {
    setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
}

std::optional<double> NumericUpDown::Parse(const QString& text) const {
    QString number = text;
    if (!prefix().isEmpty() && number.startsWith(prefix()))
        number.remove(0, prefix().size());
    if (!suffix().isEmpty() && number.endsWith(suffix()))
        number.chop(suffix().size());
    number = number.trimmed();
    number.remove(locale().groupSeparator());
    bool ok = false;
    const double value = locale().toDouble(number, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

QValidator::State NumericUpDown::validate(QString& text, int& pos) const {
    const QValidator::State state = QDoubleSpinBox::validate(text, pos);
    if (state == QValidator::Acceptable)
        return state;
    // Out of range is only unfinished: fixup brings it to the bound once the user is done typing.
    if (const std::optional<double> value = Parse(text); value && (*value < minimum() || *value > maximum()))
        return QValidator::Intermediate;
    return state;
}

void NumericUpDown::fixup(QString& text) const {
    if (const std::optional<double> value = Parse(text)) {
        text = textFromValue(std::clamp(*value, minimum(), maximum()));
        return;
    }
    QDoubleSpinBox::fixup(text);
}
