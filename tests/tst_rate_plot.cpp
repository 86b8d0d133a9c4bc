// Tests of the rate chart: every kind of linkage draws, the bounds hold the curves, toggles draw
// no line across the chart, and the frame's markers land on their values.
#include "rate_plot.h"

#include <QtTest>

#include <cmath>

using namespace cyclar;

Q_DECLARE_METATYPE(cyclar::LinkageDimensions)

class TestRatePlot : public QObject {
    Q_OBJECT

private slots:
    void everyKindDraws_data();
    void everyKindDraws();
    void togglesDrawNoLineAcross();
};

void TestRatePlot::everyKindDraws_data()
{
    QTest::addColumn<LinkageDimensions>("dims");
    QTest::addColumn<bool>("moves");
    QTest::newRow("non-Grashof, toggles") << defaultDimensions << true;
    QTest::newRow("crank-rocker") << LinkageDimensions{20, 50, 45, 40, 45, -35} << true;
    QTest::newRow("Hooke's joint") << LinkageDimensions{90, 90, 90, 60, 30, 10} << true;
    QTest::newRow("change point") << LinkageDimensions{40, 40, 40, 40, 45, -35} << true;
    QTest::newRow("cannot close") << LinkageDimensions{10, 20, 10, 170, 45, -35} << false;
    QTest::newRow("link out of range") << LinkageDimensions{200, 30, 35, 40, 45, -35} << false;
}

void TestRatePlot::everyKindDraws()
{
    QFETCH(LinkageDimensions, dims);
    QFETCH(bool, moves);
    const RateChartGeometry geometry(dims, analysisChartSize);
    QVERIFY(std::isfinite(geometry.low()) && std::isfinite(geometry.high()));
    QVERIFY(geometry.low() <= 0.0 && geometry.high() > geometry.low());
    QVERIFY(geometry.high() - geometry.low() <= 8.0 + 2.0 * geometry.step());
    const QImage chart = drawRateChart(dims, geometry, QFont());
    QCOMPARE(chart.size(), analysisChartSize);

    int curvePixels = 0;
    const QRect area = geometry.plotArea().toAlignedRect().adjusted(2, 2, -2, -2);
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb c = chart.pixel(x, y);
            curvePixels += qBlue(c) > qRed(c) + 80 || qGreen(c) > qRed(c) + 60;
        }
    }
    QCOMPARE(curvePixels > 200, moves);

    // Each frame's markers sit on its values, or are left out where a value is not finite.
    const std::vector<FrameRates> rows = frameRateTable(dims);
    for (const FrameRates& row : rows) {
        const QRegion region = rateMarkerRegion(geometry, row);
        if (!std::isfinite(row.angles.theta)) {
            QVERIFY(region.isEmpty());
        } else if (std::isfinite(row.rates.outputRate)) {
            QVERIFY(
                region.contains(geometry.point(row.angles.theta, row.rates.outputRate).toPoint()));
        }
    }
    QImage marked = chart;
    {
        QPainter painter(&marked);
        drawRateMarkers(painter, geometry, rows[39]);
    }
    if (moves && std::isfinite(rows[39].rates.pointSpeed)) {
        const QPoint at =
            geometry.point(rows[39].angles.theta, rows[39].rates.pointSpeed).toPoint();
        QVERIFY(qRed(marked.pixel(at)) > 170 && qGreen(marked.pixel(at)) < 60);
    }
}

// Through a toggle the ratio runs off the top of the chart on one side and comes back from the
// bottom on the other: no segment of a curve may join the two across the plot.
void TestRatePlot::togglesDrawNoLineAcross()
{
    for (const LinkageDimensions& dims :
         {defaultDimensions, LinkageDimensions{120, 60, 75, 110, 60, 20}}) {
        const LinkageAnalysis analysis = analyseLinkage(dims);
        QVERIFY(!analysis.inputLimits.empty());
        const RateChartGeometry geometry(dims, analysisChartSize);
        const RateChartCurves curves = rateChartCurves(dims, analysis, geometry);
        const QRectF area = geometry.plotArea();
        int segments = 0;
        for (const ChartPolylines* lines : {&curves.ratio1, &curves.ratio2}) {
            for (const std::vector<QPointF>& line : *lines) {
                for (size_t i = 1; i < line.size(); ++i) {
                    const double a = line[i - 1].y(), b = line[i].y();
                    QVERIFY(!((a < area.top() && b > area.bottom())
                              || (b < area.top() && a > area.bottom())));
                    ++segments;
                }
            }
        }
        QVERIFY(segments > 500);
    }
}

QTEST_MAIN(TestRatePlot)
#include "tst_rate_plot.moc"
