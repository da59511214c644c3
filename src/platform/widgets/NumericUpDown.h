// A numeric field that behaves like the Windows toolkit's: a typed number beyond the range is taken
// as the nearest bound when the field is left or Enter is pressed, where a plain QDoubleSpinBox
// refuses the keystroke or falls back to its minimum.
#pragma once

#include <QDoubleSpinBox>

#include <optional>

class NumericUpDown : public QDoubleSpinBox {
    Q_OBJECT

public:
    explicit NumericUpDown(QWidget* parent = nullptr);

    QValidator::State validate(QString& text, int& pos) const override;
    void fixup(QString& text) const override;

private:
    std::optional<double> Parse(const QString& text) const;
};
