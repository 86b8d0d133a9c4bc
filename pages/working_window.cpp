// The working window: the core's text of the working, following the frame or held at a typed
// input angle; the handout saved through the one writer or printed with its figures.
#include "working_window.h"

#include "field_rules.h"
#include "handout_figures.h"
#include "linkage_files.h"
#include "picture_export.h"
#include "working_text.h"

#include <QButtonGroup>
#include <QClipboard>
#include <QComboBox>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSvgRenderer>
#include <QTextDocument>
#include <QVBoxLayout>

#include <cmath>

namespace cyclar {

WorkingWindow::WorkingWindow(const LinkageDimensions& dims, const SceneState& scene,
                             QWidget* parent)
    : QDialog(parent), m_dims(dims), m_scene(scene)
{
    setWindowTitle(QStringLiteral("The working"));
    setModal(false);

    auto* layout = new QVBoxLayout(this);
    auto* choice = new QHBoxLayout;
    followButton = new QRadioButton(QStringLiteral("Follow the animation"), this);
    holdButton = new QRadioButton(QStringLiteral("Hold \u03b8 ="), this);
    inputField = new QLineEdit(this);
    inputField->setObjectName(QStringLiteral("input"));
    inputField->setAccessibleName(QStringLiteral("input angle \u03b8 to hold, in degrees"));
    inputField->setMaximumWidth(110);
    branchBox = new QComboBox(this);
    branchBox->addItems({QStringLiteral("branch 1"), QStringLiteral("branch 2")});
    branchBox->setAccessibleName(QStringLiteral("branch"));
    auto* group = new QButtonGroup(this);
    group->addButton(followButton);
    group->addButton(holdButton);
    followButton->setChecked(true);
    choice->addWidget(followButton);
    choice->addSpacing(12);
    choice->addWidget(holdButton);
    choice->addWidget(inputField);
    choice->addWidget(new QLabel(QStringLiteral("\u00b0"), this));
    choice->addWidget(branchBox);
    choice->addStretch();
    layout->addLayout(choice);
    inputMessage = new QLabel(this);
    inputMessage->setObjectName(QStringLiteral("inputMessage"));
    inputMessage->hide();
    layout->addWidget(inputMessage);

    text = new QPlainTextEdit(this);
    text->setReadOnly(true);
    text->setLineWrapMode(QPlainTextEdit::NoWrap);
    text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    text->setMinimumSize(760, 480);
    layout->addWidget(text);

    auto* buttons = new QHBoxLayout;
    copyButton = new QPushButton(QStringLiteral("Copy"), this);
    printButton = new QPushButton(QStringLiteral("Print\u2026"), this);
    saveButton = new QPushButton(QStringLiteral("Save as HTML\u2026"), this);
    auto* closeButton = new QPushButton(QStringLiteral("Close"), this);
    buttons->addWidget(copyButton);
    buttons->addWidget(printButton);
    buttons->addWidget(saveButton);
    buttons->addStretch();
    buttons->addWidget(closeButton);
    layout->addLayout(buttons);

    connect(followButton, &QRadioButton::clicked, this, &WorkingWindow::followAnimation);
    connect(holdButton, &QRadioButton::clicked, this, &WorkingWindow::takeTypedInput);
    connect(inputField, &QLineEdit::returnPressed, this, &WorkingWindow::takeTypedInput);
    connect(branchBox, &QComboBox::activated, this, [this] {
        if (!m_following) {
            takeTypedInput();
        }
    });
    connect(copyButton, &QPushButton::clicked, this, &WorkingWindow::copyText);
    connect(printButton, &QPushButton::clicked, this, [this] {
        QPrinter printer(QPrinter::HighResolution);
        if (askPrinter(this, printer)) {
            printTo(printer);
        }
    });
    connect(saveButton, &QPushButton::clicked, this, [this] {
        const QString path = askSavePath(this, QStringLiteral("Save the working as HTML"),
                                         QStringLiteral("HTML page (*.html)"));
        if (!path.isEmpty()) {
            saveHtmlTo(path);
        }
    });
    connect(closeButton, &QPushButton::clicked, this, &QDialog::close);
    followFrame();
}

void WorkingWindow::followFrame()
{
    if (!m_following) {
        return;
    }
    const PoseAngles angles =
        shownPoseAngles(m_scene.model, m_scene.animationCopy, m_scene.schedule);
    // A linkage that does not move has no frame pose: its working says why at theta = 0.
    const double theta = std::isfinite(angles.theta) ? angles.theta : 0.0;
    const int branch = angles.branch == 2 ? 2 : 1;
    if (m_working.title.empty() || m_working.theta != theta || m_working.branch != branch) {
        display(explainLinkage(m_dims, theta, branch));
    }
}

void WorkingWindow::holdInput(double theta, int branch)
{
    m_following = false;
    holdButton->setChecked(true);
    inputField->setText(QString::number(theta, 'g', 17));
    branchBox->setCurrentIndex(branch == 2 ? 1 : 0);
    inputMessage->hide();
    display(explainLinkage(m_dims, theta, branch));
}

void WorkingWindow::followAnimation()
{
    m_following = true;
    followButton->setChecked(true);
    inputMessage->hide();
    followFrame();
}

void WorkingWindow::takeTypedInput()
{
    QString typed = inputField->text();
    typed.replace(QChar(0x2212), QLatin1Char('-')); // a minus sign as printed reads as one
    const std::optional<double> theta = parseCellNumber(typed.toStdString());
    if (!theta) {
        m_following = false;
        holdButton->setChecked(true);
        inputMessage->setText(QStringLiteral("Type the input angle \u03b8 in degrees, such as 30 "
                                             "or -12.5, then press Enter."));
        inputMessage->show();
        inputField->setFocus();
        return;
    }
    holdInput(*theta, branchBox->currentIndex() + 1);
}

void WorkingWindow::display(const Working& working)
{
    m_working = working;
    // Where the reader was stays in view as the numbers change.
    const int scrolled = text->verticalScrollBar()->value();
    text->setPlainText(QString::fromStdString(cyclar::workingText(working)));
    text->verticalScrollBar()->setValue(scrolled);
}

QString WorkingWindow::workingText() const
{
    return text->toPlainText();
}

void WorkingWindow::copyText() const
{
    QGuiApplication::clipboard()->setText(QString::fromStdString(cyclar::workingText(m_working)));
}

bool WorkingWindow::saveHtmlTo(const QString& path)
{
    QString error;
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix != QLatin1String("html") && suffix != QLatin1String("htm")) {
        error = writeFailure(path, QStringLiteral("the file name must end in .html"));
    } else {
        const std::string html = workingHtml(m_working, handoutFigures(m_working, m_scene.view));
        if (writeFileBytes(path, QByteArray::fromStdString(html), error)) {
            return true;
        }
    }
    showWriteFailure(this, error);
    return false;
}

void WorkingWindow::printTo(QPrinter& printer) const
{
    // The document the printer draws knows no inline SVG: each figure goes in as a picture drawn
    // from the same SVG, at twice its size for the printer's finer dots.
    QTextDocument document;
    std::vector<HandoutFigure> figures = handoutFigures(m_working, m_scene.view);
    for (std::size_t i = 0; i < figures.size(); ++i) {
        QSvgRenderer svg(QByteArray::fromStdString(figures[i].markup));
        const QSize size = svg.defaultSize();
        QImage picture(size * 2, QImage::Format_ARGB32_Premultiplied);
        picture.fill(Qt::white);
        QPainter painter(&picture);
        svg.render(&painter);
        painter.end();
        const QString name = QStringLiteral("figure-%1.png").arg(i + 1);
        document.addResource(QTextDocument::ImageResource, QUrl(name), picture);
        figures[i].markup = QStringLiteral("<img src=\"%1\" width=\"%2\">")
                                .arg(name)
                                .arg(size.width() * 3 / 4)
                                .toStdString();
    }
    document.setHtml(QString::fromStdString(workingHtml(m_working, figures)));
    document.print(&printer);
}

} // namespace cyclar
