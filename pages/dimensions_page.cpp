// The dimensions page: defaults or the animation's values, the range tests, and Submit.
#include "dimensions_page.h"

#include "animation_page.h"
#include "artwork.h"
#include "bitmap_button.h"
#include "help_page.h"
#include "linkage_files.h"
#include "page_chain.h"
#include "page_layout.h"

#include <QAction>
#include <QGuiApplication>
#include <QLineEdit>

namespace cyclar {

cyclar1::cyclar1(AppState& state) : m_state(state)
{
    setWindowTitle(QStringLiteral("Dimensions of Spherical Four-bar Linkages"));
    if (state.entryMode == 1) {
        state.entryCopy = defaultDimensions;
    } else {
        const LinkageDimensions& animation = state.scene.animationCopy;
        state.entryCopy.a = animation.a;
        state.entryCopy.b = animation.b;
        state.entryCopy.c = animation.c;
        state.entryCopy.f = animation.f;
        state.entryCopy.h = animation.h;
        state.entryCopy.k = animation.k;
    }

    PageLayout layout(this, TemplateFont::MsSansSerif8);
    IDC_a = layout.edit(52, 30, 38, 17);
    IDC_b = layout.edit(52, 51, 38, 17);
    IDC_c = layout.edit(52, 71, 38, 17);
    IDC_f = layout.edit(52, 92, 38, 17);
    IDC_k = layout.edit(52, 134, 38, 17);
    IDC_h = layout.edit(52, 113, 38, 17);
    IDC_submit = layout.bitmapButton(28, 164, 167);
    IDCANCEL_button = layout.bitmapButton(34, 188, 140);
    layout.picture(123, 16, 175, true)->setObjectName(QStringLiteral("IDC_cyclar"));
    layout.picture(14, 31, 160);
    layout.picture(14, 52, 156);
    layout.picture(15, 73, 157);
    layout.picture(15, 94, 158);
    layout.picture(15, 114, 159);
    layout.picture(15, 134, 155);
    IDC_help = layout.bitmapButton(20, 211, 166);
    layout.centredText(52, 10, 40, 15, QStringLiteral("( Degrees ) "));
    setFixedSize(layout.clientSize(370, 245));

    onNotify(IDC_submit, [this] { OnSubmit(); });
    onNotify(IDCANCEL_button, [this] { OnCancel(); });
    onNotify(IDC_help, [this] { OnShowHelp(); });

    auto* open = new QAction(QStringLiteral("Open linkage…"), this);
    open->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    addAction(open);
    connect(open, &QAction::triggered, this, &cyclar1::OnOpenLinkage);
}

void cyclar1::DoDataExchange(DataExchange& dx)
{
    // Each link's bound is taken right after the link is stored, from the values held then.
    LinkageDimensions& d = m_state.entryCopy;
    exchangeDimensions(dx, FieldPage::Dimensions, {IDC_a, IDC_b, IDC_c, IDC_f, IDC_h, IDC_k}, d);
}

void cyclar1::OnSubmit()
{
    m_state.canvasWidth = 480;
    m_state.canvasHeight = 480;
    if (!UpdateData(true)) {
        return;
    }
    prepareCanvas(m_state.canvas, m_state.canvasWidth, m_state.canvasHeight);
    auto next = std::make_unique<cyclar_animation>(m_state);
    m_state.chain.handOver(this, std::move(next));
}

void cyclar1::OnShowHelp() { showHelp(this); }

void cyclar1::OnOpenLinkage()
{
    const QString path = askOpenLinkagePath(this);
    if (!path.isEmpty()) {
        openLinkageFrom(path);
    }
}

bool cyclar1::openLinkageFrom(const QString& path)
{
    const std::optional<LinkageFile> file = readLinkageFileOrSay(this, path);
    return file && showLinkage(*file);
}

bool cyclar1::showLinkage(const LinkageFile& file)
{
    const LinkageDimensions before = m_state.entryCopy;
    m_state.entryCopy = file.dimensions;
    if (!CheckHeldValues()) {
        m_state.entryCopy = before;
        return false;
    }
    UpdateData(false);
    return true;
}

} // namespace cyclar
