// The help page's texts and layout.
#include "help_page.h"

#include "artwork.h"
#include "page_layout.h"

#include <QLabel>

#include <algorithm>

namespace cyclar {

namespace {

struct Paragraph {
    int x, y, w, h;
    const char* text;
};

// The texts are the program's own, quoted as they stand.
constexpr Paragraph paragraphs[] = {
    {16, 9, 247, 26,
     "This software is to animate a spherical four-bar linkage with four revolute joints as the "
     "movie shown in the title page.  The software can also output the coupler curve for any "
     "input coupler point as the red curve in the movie."},
    {16, 39, 250, 26,
     "To use this software, click \"continue\" button to enter the second page.  On that page you "
     "can input the dimensions of a spherical four-bar linkage, which include the central angles "
     "of four links and the position of coupler point on the coupler sphere."},
    {16, 70, 248, 26,
     "Once you input all dimensions, click \"submit\" button to enter the animation page.  If any "
     "dimension you enter is not appropriate for contructing a spherical four-bar linkage, there "
     "will be a message showing the numerical range for that dimension."},
    {16, 101, 248, 24,
     "On the animation page the spherical four-bar linkage and coupler curve will be on a unit "
     "sphere. Click \"animate\" button to animate the linkage.  Click and drag the first two "
     "\"slider control\" buttons to adjust the orientation of the sphere."},
    {16, 132, 257, 24,
     "Click \"stop\" button to stop the animation at any position and \"animate\" button to resume "
     "the animation.  Click and drag the third \"slider control\" button to adjust the animation "
     "speed.  All dimensions are also shown in this page. "},
    {16, 164, 239, 18,
     "Click \"back\" button to back into the previous page.  The screen will show dimensions you "
     "just input and you can change the dimensions to submit data again."},
};

} // namespace

help::help(QWidget* opener) : Page(opener)
{
    setWindowTitle(QStringLiteral("Help"));
    PageLayout layout(this, TemplateFont::TimesNewRoman12);
    // A paragraph that needs more lines in the stand-in face than its box holds grows, and
    // the paragraphs below it move down: no text is ever cut off.
    int bottom = 0;
    for (const Paragraph& p : paragraphs) {
        QLabel* label = layout.text(p.x, p.y, p.w, p.h, QString::fromLatin1(p.text));
        label->setObjectName(QStringLiteral("paragraph"));
        const int top = std::max(label->y(), bottom + layout.units().toPixelsY(2));
        const int height = std::max(label->height(), label->heightForWidth(label->width()));
        label->setGeometry(label->x(), top, label->width(), height);
        bottom = label->geometry().bottom();
    }
    setFixedSize(layout.clientSize(280, 192, QSize(0, bottom + 1 + layout.units().toPixelsY(9))));
}

void showHelp(QWidget* opener)
{
    help page(opener);
    page.DoModal();
}

} // namespace cyclar
