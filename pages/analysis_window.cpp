// The Analysis window: texts from the linkage analysis, the cached chart and its moving markers.
#include "analysis_window.h"

#include "analysis_plot.h"
#include "artwork.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>

namespace cyclar {

namespace {

QString degrees(double value, int decimals = 1)
{
    return QString::number(value, 'f', decimals) + QChar(0x00B0);
}

QString signedDegrees(double value)
{
    return (value > 0 ? QStringLiteral("+") : QString()) + degrees(value);
}

QString capitalised(const std::string& text)
{
    QString result = QString::fromStdString(text);
    if (!result.isEmpty()) {
        result[0] = result[0].toUpper();
    }
    return result;
}

// How one link moves, in words: `link` is "Input a" or "Output b", `angle` the symbol.
QString motionText(const QString& link, const QString& angle, LinkMotion motion,
                   const std::vector<double>& limits)
{
    switch (motion) {
    case LinkMotion::Rotates:
        return link + QStringLiteral(" turns fully.");
    case LinkMotion::RocksThrough0:
        return link + QStringLiteral(" rocks through 0\u00b0: |%1| up to %2.").arg(angle, degrees(limits.at(0)));
    case LinkMotion::RocksThroughPi:
        return link + QStringLiteral(" rocks through 180\u00b0: |%1| from %2 to 180\u00b0.")
                          .arg(angle, degrees(limits.at(0)));
    case LinkMotion::RocksBetween:
        break;
    }
    return link + QStringLiteral(" rocks on one side: |%1| from %2 to %3.")
                      .arg(angle, degrees(limits.at(0)), degrees(limits.at(1)));
}

QLabel* paragraph(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

} // namespace

AnalysisPlot::AnalysisPlot(const LinkageDimensions& dims, QWidget* parent)
    : QWidget(parent), m_chart(drawAnalysisChart(dims, analysisChartSize, defaultTextFont()))
{
    setAttribute(Qt::WA_OpaquePaintEvent); // the chart covers every pixel
    setFixedSize(analysisChartSize);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    m_angles = {nan, nan, nan, 0};
}

void AnalysisPlot::setAngles(const PoseAngles& angles)
{
    // Only the markers change from frame to frame: repaint where they were and where they go.
    update(analysisMarkerRegion(m_chart.size(), m_angles) + analysisMarkerRegion(m_chart.size(), angles));
    m_angles = angles;
}

void AnalysisPlot::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    paintAnalysisPlot(painter, m_chart, event->region(), m_angles);
}

AnalysisWindow::AnalysisWindow(const LinkageDimensions& dims, const SceneState& scene, QWidget* parent)
    : QDialog(parent), m_scene(scene), m_analysis(analyseLinkage(dims))
{
    setWindowTitle(QStringLiteral("Analysis"));
    setModal(false);
    setSizeGripEnabled(false);

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    const LinkageAnalysis& r = m_analysis;

    auto* type = new QLabel(r.type.empty() ? QStringLiteral("No type") : capitalised(r.type), this);
    QFont bold = type->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.25);
    type->setFont(bold);
    type->setObjectName(QStringLiteral("type"));
    layout->addWidget(type);

    auto* decision = paragraph(QString::fromStdString(r.decision), this);
    decision->setObjectName(QStringLiteral("decision"));
    layout->addWidget(decision);

    auto* values = paragraph(QStringLiteral("T1 = %1    T2 = %2    T3 = %3    T4 = %4")
                                 .arg(signedDegrees(r.T[0]), signedDegrees(r.T[1]),
                                      signedDegrees(r.T[2]), signedDegrees(r.T[3])),
                             this);
    values->setObjectName(QStringLiteral("values"));
    layout->addWidget(values);

    if (!r.labelNote.empty()) {
        auto* note = paragraph(QStringLiteral("Frame label: ") + capitalised(r.labelNote) + '.', this);
        note->setObjectName(QStringLiteral("labelNote"));
        layout->addWidget(note);
    }

    if (r.assemblable) {
        QStringList motion;
        motion << motionText(QStringLiteral("Input a"), QStringLiteral("\u03b8"), r.input, r.inputLimits)
               << motionText(QStringLiteral("Output b"), QStringLiteral("\u03c8"), r.output, r.outputLimits);
        if (r.swing && r.timeRatio) {
            motion << QStringLiteral("Rocker swing %1, time ratio %2.")
                          .arg(degrees(*r.swing), QString::number(*r.timeRatio, 'f', 3));
        }
        motion << QStringLiteral("Transmission angle \u03bc from %1 (at |\u03b8| = %2) to %3 (at |\u03b8| = %4).")
                      .arg(degrees(r.transmission[0]), degrees(r.transmissionAt[0]),
                           degrees(r.transmission[1]), degrees(r.transmissionAt[1]));
        auto* figures = paragraph(motion.join(QLatin1Char('\n')), this);
        figures->setObjectName(QStringLiteral("motion"));
        layout->addWidget(figures);
    }

    plot = new AnalysisPlot(dims, this);
    layout->addWidget(plot);
    // Texts wrap to the chart's width.
    for (QLabel* label : findChildren<QLabel*>()) {
        label->setFixedWidth(analysisChartSize.width());
    }
    followFrame();
}

void AnalysisWindow::followFrame()
{
    plot->setAngles(shownPoseAngles(m_scene.model, m_scene.animationCopy, m_scene.schedule));
}

void AnalysisWindow::showBeside(const QRect& pageFrame, int pictureRight)
{
    followFrame();
    if (!m_placed) {
        adjustSize();
        QScreen* screen = QGuiApplication::screenAt(pageFrame.center());
        if (!screen) {
            screen = QGuiApplication::primaryScreen();
        }
        const QRect area = screen ? screen->availableGeometry() : QRect(pageFrame.topLeft(), size());
        // The frame's margins are known only once shown; the size without them is close enough
        // for the first placement, which is corrected right after showing.
        move(placeBeside(pageFrame, pictureRight, size(), area));
        show();
        const QSize framed = frameGeometry().size();
        const QPoint place = placeBeside(pageFrame, pictureRight, framed, area);
        move(place + (pos() - frameGeometry().topLeft()));
        m_placed = true;
    } else {
        show();
    }
    raise();
    activateWindow();
}

QPoint placeBeside(const QRect& pageFrame, int pictureRight, const QSize& size, const QRect& screen)
{
    constexpr int gap = 8;
    const int top = std::clamp(pageFrame.top(), screen.top(),
                               std::max(screen.top(), screen.bottom() + 1 - size.height()));
    const int right = pageFrame.right() + 1 + gap;
    if (right + size.width() <= screen.right() + 1) {
        return {right, top};
    }
    const int left = pageFrame.left() - gap - size.width();
    if (left >= screen.left()) {
        return {left, top};
    }
    return {std::max(pictureRight + gap, screen.right() + 1 - size.width()), top};
}

} // namespace cyclar
