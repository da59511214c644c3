#include "TextRasterizer.h"

#include "d3dx9core.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QRawFont>
#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

// Fonts need a GUI application. The editor makes its own before any font; headless tools and tests
// get one here, on the offscreen platform so that no display is needed.
bool EnsureGuiApplication() {
    if (QCoreApplication::instance() == nullptr) {
        static int argc = 3;
        static char program[] = "fieldsmith";
        static char platformOption[] = "-platform";
        static char platform[] = "offscreen";
        static char* argv[] = {program, platformOption, platform, nullptr};
        // Kept for the life of the process: fonts may be in use until exit.
        static QGuiApplication* application = new QGuiApplication(argc, argv);
        (void)application;
    }
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
}

// Japanese sans-serif faces found on Linux desktops, best first.
constexpr const char* kJapaneseSans[] = {"Noto Sans CJK JP", "Source Han Sans JP", "IPAPGothic",
                                         "IPAexGothic",      "IPAGothic",          "VL PGothic",
                                         "TakaoPGothic"};

bool LooksSans(const QString& family) {
    const bool sans = family.contains(QLatin1String("Sans")) || family.contains(QLatin1String("Gothic"));
    return sans && !family.contains(QLatin1String("Mono"));
}

QString ChooseFamily(const QString& asked) {
    if (!asked.isEmpty() && QFontDatabase::hasFamily(asked))
        return asked;
    for (const char* name : kJapaneseSans) {
        if (QFontDatabase::hasFamily(QString::fromLatin1(name)))
            return QString::fromLatin1(name);
    }
    const QStringList japanese = QFontDatabase::families(QFontDatabase::Japanese);
    const auto sans = std::find_if(japanese.begin(), japanese.end(), LooksSans);
    if (sans != japanese.end())
        return *sans;
    // No Japanese face at all: Qt picks its own substitute, and merges in glyphs it lacks.
    return japanese.isEmpty() ? asked : japanese.front();
}

// Where the baseline sits in a cell of the given height. The typographic ascender and descender
// span the em box, which is the cell; fonts without them fall back to the line metrics.
int BaselineInCell(const QFont& font, int cellHeight) {
    const QByteArray os2 = QRawFont::fromFont(font).fontTable("OS/2");
    double ascent = 0, descent = 0;
    if (os2.size() >= 72) {
        ascent = qFromBigEndian<qint16>(os2.constData() + 68);
        descent = -static_cast<double>(qFromBigEndian<qint16>(os2.constData() + 70));
    }
    if (ascent <= 0 || descent < 0) {
        const QFontMetricsF metrics(font);
        ascent = metrics.ascent();
        descent = metrics.descent();
    }
    if (ascent <= 0 || ascent + descent <= 0)
        return cellHeight * 4 / 5;
    return static_cast<int>(std::lround(cellHeight * ascent / (ascent + descent)));
}

std::int64_t FloorHalf(std::int64_t value) {
    return value >= 0 ? value / 2 : -((-value + 1) / 2);
}

std::vector<QString> SplitLines(QString text, DWORD format) {
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    if (format & DT_SINGLELINE) {
        text.replace(QLatin1Char('\n'), QLatin1Char(' '));
        return {text};
    }
    QStringList parts = text.split(QLatin1Char('\n'));
    if (!parts.isEmpty() && parts.back().isEmpty())
        parts.removeLast();
    return {parts.begin(), parts.end()};
}

std::int64_t AlignedOffset(std::int64_t space, std::int64_t used, bool centre, bool far) {
    if (centre)
        return FloorHalf(space - used);
    return far ? space - used : 0;
}

} // namespace

std::unique_ptr<TextRasterizer> TextRasterizer::Create(const Face& face) {
    const std::int64_t asked = std::llabs(static_cast<long long>(face.height));
    if (asked > kMaxCellHeight || !EnsureGuiApplication())
        return nullptr;
    const int cellHeight = asked == 0 ? kDefaultCellHeight : static_cast<int>(asked);
    QFont font(
        ChooseFamily(QString::fromUtf8(face.family.data(), static_cast<qsizetype>(face.family.size()))));
    font.setPixelSize(cellHeight);
    if (face.weight != 0)
        font.setWeight(static_cast<QFont::Weight>(std::clamp<UINT>(face.weight, 1, 1000)));
    font.setItalic(face.italic);
    // Grey-scale coverage only: the bitmap is tinted and blended later, over unknown pixels.
    font.setStyleStrategy(QFont::StyleStrategy(QFont::PreferAntialias | QFont::NoSubpixelAntialias));
    return std::unique_ptr<TextRasterizer>(new TextRasterizer(font, cellHeight));
}

TextRasterizer::TextRasterizer(const QFont& font, int cellHeight)
    : m_font(font), m_cellHeight(cellHeight), m_baseline(BaselineInCell(font, cellHeight)),
      m_overhang(cellHeight / 2 + 2) {}

std::string TextRasterizer::Family() const {
    return QFontInfo(m_font).family().toStdString();
}

int TextRasterizer::PixelSize() const {
    return QFontInfo(m_font).pixelSize();
}

bool TextRasterizer::Bold() const {
    return QFontInfo(m_font).bold();
}

TextLayout TextRasterizer::Layout(std::string_view utf8, DWORD format, std::int64_t rectWidth,
                                  std::int64_t rectHeight) const {
    TextLayout layout;
    const QFontMetricsF metrics(m_font);
    const QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    for (QString& line : SplitLines(text, format)) {
        const qreal bearing = line.isEmpty() ? 0.0 : metrics.leftBearing(line.front());
        const int indent = bearing < 0 ? static_cast<int>(std::ceil(-bearing)) : 0;
        const auto width = static_cast<std::int64_t>(std::ceil(metrics.horizontalAdvance(line))) + indent;
        layout.width = std::max(layout.width, width);
        layout.lines.push_back({std::move(line), 0, 0, width, indent});
    }
    layout.height = static_cast<std::int64_t>(layout.lines.size()) * m_cellHeight;
    const std::int64_t top =
        AlignedOffset(rectHeight, layout.height, (format & DT_VCENTER) != 0, (format & DT_BOTTOM) != 0);
    layout.inkLeft = layout.inkRight =
        AlignedOffset(rectWidth, 0, (format & DT_CENTER) != 0, (format & DT_RIGHT) != 0);
    for (std::size_t i = 0; i < layout.lines.size(); ++i) {
        TextLine& line = layout.lines[i];
        line.x = AlignedOffset(rectWidth, line.width, (format & DT_CENTER) != 0, (format & DT_RIGHT) != 0);
        line.y = top + static_cast<std::int64_t>(i) * m_cellHeight;
        layout.inkLeft = std::min(layout.inkLeft, line.x);
        layout.inkRight = std::max(layout.inkRight, line.x + line.width);
    }
    layout.inkLeft -= m_overhang;
    layout.inkRight += m_overhang;
    layout.inkTop = top - m_overhang;
    layout.inkBottom = top + layout.height + m_overhang;
    return layout;
}

TextCoverage TextRasterizer::Rasterize(const TextLayout& layout, std::int64_t left, std::int64_t top,
                                       int width, int height) const {
    TextCoverage coverage;
    if (width <= 0 || height <= 0)
        return coverage;
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return coverage;
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setFont(m_font);
    painter.setPen(Qt::white);
    for (const TextLine& line : layout.lines) {
        const bool outside = line.y + m_cellHeight + m_overhang < top || line.y - m_overhang > top + height ||
                             line.x + line.width + m_overhang < left || line.x - m_overhang > left + width;
        if (!outside && !line.text.isEmpty())
            painter.drawText(QPointF(static_cast<double>(line.x + line.indent - left),
                                     static_cast<double>(line.y + m_baseline - top)),
                             line.text);
    }
    painter.end();
    coverage.width = width;
    coverage.height = height;
    coverage.alpha.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < width; ++x)
            coverage.alpha[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                           static_cast<std::size_t>(x)] = static_cast<std::uint8_t>(qAlpha(row[x]));
    }
    return coverage;
}
