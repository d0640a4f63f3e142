// Draws the timeline figure of make bench: CPU and wake-ups per second through waiting,
// running and over, for the game and its references, from the series the bench wrote.
//   namoro_bench_timeline SERIES.tsv OUT.png
// SERIES.tsv holds lines "phase NAME FROM TO" and "measured NAME FROM TO" (seconds since
// launch: the phases, and the stretches the table's figures come from), and
// "cpu|wake PROGRAM V0 V1 ..." (one value a second since launch; drawn in this order, the
// last on top).

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QTextStream>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <vector>

namespace {

struct Phase {
    QString name;
    double from = 0, to = 0;
};

struct Series {
    QString program;
    std::vector<double> values;
};

struct Data {
    std::vector<Phase> phases, measured;
    std::vector<Series> cpu, wake;
};

bool read(const QString& path, Data& data)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    QTextStream in(&file);
    while (!in.atEnd()) {
        const QStringList fields = in.readLine().split(QLatin1Char('\t'), Qt::SkipEmptyParts);
        if (fields.size() < 3)
            continue;
        if ((fields[0] == QLatin1String("phase") || fields[0] == QLatin1String("measured")) && fields.size() == 4) {
            (fields[0] == QLatin1String("phase") ? data.phases : data.measured)
                .push_back({fields[1], fields[2].toDouble(), fields[3].toDouble()});
        } else if (fields[0] == QLatin1String("cpu") || fields[0] == QLatin1String("wake")) {
            Series series{fields[1], {}};
            for (qsizetype i = 2; i < fields.size(); ++i)
                series.values.push_back(fields[i].toDouble());
            (fields[0] == QLatin1String("cpu") ? data.cpu : data.wake).push_back(std::move(series));
        }
    }
    return !data.cpu.empty();
}

QColor colourOf(const QString& program)
{
    static const std::map<QString, QColor> colours{
        {QStringLiteral("namoro"), QColor(200, 30, 60)},
        {QStringLiteral("moving floor"), QColor(40, 90, 200)},
        {QStringLiteral("bare window"), QColor(110, 110, 110)},
    };
    const auto found = colours.find(program);
    return found == colours.end() ? QColor(0, 140, 70) : found->second;
}

// A round upper bound for the axis, a quarter of which is round too.
double niceCeiling(double value)
{
    if (value <= 0)
        return 1;
    const double power = std::pow(10.0, std::floor(std::log10(value)));
    for (const double step : {1.0, 1.2, 1.6, 2.0, 2.4, 3.0, 4.0, 5.0, 6.0, 8.0, 10.0}) {
        if (step * power >= value)
            return step * power;
    }
    return 10 * power;
}

void drawPanel(QPainter& p, const QRect& area, const std::vector<Series>& series, const Data& data, double seconds,
               const QString& title)
{
    double top = 0;
    for (const Series& s : series)
        top = std::max(top, *std::max_element(s.values.begin(), s.values.end()));
    top = niceCeiling(top * 1.05);
    auto xAt = [&](double t) { return area.left() + t / seconds * area.width(); };
    auto yAt = [&](double v) { return area.bottom() - v / top * area.height(); };

    static const QColor bands[] = {QColor(238, 238, 250), QColor(252, 240, 232), QColor(236, 246, 236)};
    for (std::size_t i = 0; i < data.phases.size(); ++i) {
        const Phase& phase = data.phases[i];
        p.fillRect(QRectF(QPointF(xAt(phase.from), area.top()), QPointF(xAt(phase.to), area.bottom())), bands[i % 3]);
    }
    // The stretches the table reads, as a bar along the top edge.
    for (const Phase& stretch : data.measured)
        p.fillRect(QRectF(QPointF(xAt(stretch.from), area.top() + 1), QPointF(xAt(stretch.to), area.top() + 6)),
                   QColor(150, 150, 170));
    p.setPen(QColor(200, 200, 200));
    QFont small = p.font();
    small.setPixelSize(11);
    p.setFont(small);
    for (int i = 0; i <= 4; ++i) {
        const double v = top * i / 4;
        p.setPen(QColor(215, 215, 215));
        p.drawLine(QPointF(area.left(), yAt(v)), QPointF(area.right(), yAt(v)));
        p.setPen(Qt::black);
        p.drawText(QRectF(area.left() - 58, yAt(v) - 8, 52, 16), Qt::AlignRight | Qt::AlignVCenter,
                   QString::number(v, 'g', 3));
    }
    for (int t = 0; t <= int(seconds); t += 20)
        p.drawText(QRectF(xAt(t) - 20, area.bottom() + 3, 40, 14), Qt::AlignCenter, QString::number(t));

    p.setRenderHint(QPainter::Antialiasing, true);
    for (const Series& s : series) {
        QPainterPath path;
        for (std::size_t i = 0; i < s.values.size(); ++i) {
            const QPointF point(xAt(double(i) + 0.5), yAt(s.values[i]));
            i == 0 ? path.moveTo(point) : path.lineTo(point);
        }
        p.setPen(QPen(colourOf(s.program), s.program == QLatin1String("namoro") ? 2.2 : 1.6));
        p.drawPath(path);
    }
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(Qt::black);
    p.drawRect(area);
    QFont bold = p.font();
    bold.setPixelSize(13);
    bold.setBold(true);
    p.setFont(bold);
    p.drawText(QRect(area.left(), area.top() - 22, area.width(), 18), Qt::AlignLeft | Qt::AlignVCenter, title);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: namoro_bench_timeline SERIES.tsv OUT.png\n");
        return 2;
    }
    Data data;
    if (!read(QString::fromLocal8Bit(argv[1]), data)) {
        std::fprintf(stderr, "bench timeline: no series in %s\n", argv[1]);
        return 1;
    }
    double seconds = 0;
    for (const Series& s : data.cpu)
        seconds = std::max(seconds, double(s.values.size()));

    QImage image(1000, 620, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    const int left = 70, width = 900;
    drawPanel(p, QRect(left, 60, width, 230), data.cpu, data, seconds, QStringLiteral("CPU, % of one core, each second"));
    drawPanel(p, QRect(left, 340, width, 230), data.wake, data, seconds,
              QStringLiteral("wake-ups per second (voluntary context switches, all threads)"));

    QFont font = p.font();
    font.setPixelSize(12);
    font.setBold(false);
    p.setFont(font);
    p.setPen(Qt::black);
    for (const Phase& phase : data.phases) {
        const double mid = (phase.from + phase.to) / 2 / seconds * width + left;
        p.drawText(QRectF(mid - 80, 20, 160, 16), Qt::AlignCenter, phase.name);
    }
    p.drawText(QRect(left, 594, 420, 16), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("seconds since launch · grey bars: what the table reads"));
    int x = left + 440;
    for (const Series& s : data.cpu) {
        p.fillRect(QRect(x, 600, 18, 4), colourOf(s.program));
        p.drawText(QRect(x + 24, 594, 160, 16), Qt::AlignLeft | Qt::AlignVCenter, s.program);
        x += 150;
    }
    p.end();
    if (!image.save(QString::fromLocal8Bit(argv[2]))) {
        std::fprintf(stderr, "bench timeline: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
