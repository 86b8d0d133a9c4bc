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

    const PageLayout layout(this, pageTemplate("dimensions"));
    IDC_a = layout.control<QLineEdit>("IDC_a");
    IDC_b = layout.control<QLineEdit>("IDC_b");
    IDC_c = layout.control<QLineEdit>("IDC_c");
    IDC_f = layout.control<QLineEdit>("IDC_f");
    IDC_k = layout.control<QLineEdit>("IDC_k");
    IDC_h = layout.control<QLineEdit>("IDC_h");
    IDC_submit = layout.control<BitmapButton>("IDC_submit");
    IDCANCEL_button = layout.control<BitmapButton>("IDCANCEL");
    IDC_help = layout.control<BitmapButton>("IDC_help");
    setFixedSize(layout.clientSize());

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

void cyclar1::OnShowHelp()
{
    showHelp(this);
}

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
    return file && showLinkage(*file, path);
}

bool cyclar1::showLinkage(const LinkageFile& file, const QString& source)
{
    if (!acceptHeldValues(this, {IDC_a, IDC_b, IDC_c, IDC_f, IDC_h, IDC_k}, {FieldPage::Dimensions},
                          file.dimensions, source)) {
        return false;
    }
    m_state.entryCopy = file.dimensions;
    UpdateData(false);
    return true;
}

} // namespace cyclar
