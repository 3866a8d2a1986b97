#include "app/MainLayout.h"

#include "core/LookupRules.h"
#include "app/MainWindow.h"
#include "core/TextUtil.h"
#include "core/WindowRules.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

namespace torvane {

namespace {

const QSizeF kPanelUnits(332, 189);
const QSizeF kAddressUnits(322, 90);
const QSizeF kInfoUnits(227, 38);

void place(QWidget *w, const QRectF &logical, const QSizeF &units, const QSize &pixels)
{
    w->setGeometry(logicalToPixels(logical, units, pixels));
}

void setPointSize(QWidget *w, double points)
{
    QFont f = w->font();
    f.setPointSizeF(qMax(1.0, points));
    w->setFont(f);
}

}  // namespace

QRect logicalToPixels(const QRectF &logical, const QSizeF &logicalSize, const QSize &pixels)
{
    const double sx = pixels.width() / logicalSize.width();
    const double sy = pixels.height() / logicalSize.height();
    const int left = int(roundHalfEven(logical.left() * sx));
    const int top = int(roundHalfEven(logical.top() * sy));
    const int right = int(roundHalfEven(logical.right() * sx));
    const int bottom = int(roundHalfEven(logical.bottom() * sy));
    return QRect(left, top, right - left, bottom - top);
}

double fontScale(int outerWidthTwips)
{
    return double(outerWidthTwips) / kMinWindowWidthTwips;
}

void layoutMainWindow(MainWindow &f)
{
    const QRect client = f.contentRect();
    const double s = fontScale(f.contentTwipsWidth());

    // Menu-bar strip with the three header labels in the menu font.
    const int strip = QFontMetrics(f.lblSource->font()).height() + 6;
    f.imgMenuBar->setGeometry(client.left(), client.top(), client.width(), strip);
    f.placeHeaders();

    const QSize panel(client.width(), qMax(1, client.height() - strip));
    f.picBackground->setGeometry(client.left(), client.top() + strip, panel.width(), panel.height());

    place(f.pic1, QRectF(5, 94, 322, 90), kPanelUnits, panel);
    place(f.picInfo, QRectF(5, 55, 227, 36), kPanelUnits, panel);

    setPointSize(f.lblStatus, 10 * s);
    place(f.lblStatus, QRectF(100, 2, 230, 22), kPanelUnits, panel);

    setPointSize(f.cboCall, 10 * s);
    const QRect call = logicalToPixels(QRectF(5, 2, 93, 20), kPanelUnits, panel);
    f.cboCall->setGeometry(call.left(), call.top(), call.width(), f.cboCall->sizeHint().height());

    // The picture keeps its place in the panel's units.
    place(f.Image1, f.pictureRect().isEmpty() ? defaultPictureBox() : f.pictureRect(), kPanelUnits, panel);

    const QSize info = f.picInfo->size();
    const struct { QLabel *label; QRectF rect; } infoLabels[] = {
        {f.lblDx, {4, 2, 140, 18}}, {f.lblClass, {145, 2, 77, 18}},
        // Below an approximate distance line the message takes the second line.
        {f.lblNot, {2, f.approximatePosition() ? 21.0 : 11.0, 227, 18}},
        {f.lblGrid, {4, 21, 160, 18}}, {f.lblDOB, {128, 21, 98, 18}}};
    for (const auto &l : infoLabels) {
        setPointSize(l.label, 10 * s);
        place(l.label, l.rect, kInfoUnits, info);
    }

    const QSize address = f.pic1->size();
    const struct { QLabel *label; QRectF rect; } addressLabels[] = {
        {f.lblName, {6, 2, 318, 18}}, {f.lblAdd1, {6, 18, 318, 18}}, {f.lblAdd2, {6, 34, 318, 18}},
        {f.lblCtry, {6, 50, 318, 18}}, {f.lblEmail, {10, 69, 302, 18}}};
    for (const auto &l : addressLabels) {
        setPointSize(l.label, 10 * s);
        place(l.label, l.rect, kAddressUnits, address);
    }
    // The country line shares the site link's line, right-aligned in a smaller font.
    setPointSize(f.lblEntity, 8 * s);
    place(f.lblEntity, {10, 69, 306, 18}, kAddressUnits, address);
    f.fitEntityLine();

    setPointSize(f.optFrom[0], 8 * s);
    place(f.optFrom[0], QRectF(128, 22, 100, 20), kPanelUnits, panel);
    setPointSize(f.optFrom[1], 8 * s);
    place(f.optFrom[1], QRectF(128, 36, 110, 20), kPanelUnits, panel);
    setPointSize(f.cmdGet, 9 * s);
    place(f.cmdGet, QRectF(5, 28, 120, 24), kPanelUnits, panel);
}

}  // namespace torvane

using namespace torvane;

void MainWindow::placeHeaders()
{
    const int strip = imgMenuBar->height() > 0 ? imgMenuBar->height()
                                                : QFontMetrics(lblSource->font()).height() + 6;
    for (QLabel *header : {lblSource, lblMaps, lblSetup}) {
        header->adjustSize();
        header->resize(header->width(), strip - 2);
    }
    const QRect content = contentRect();
    lblSource->move(content.left(), content.top() + 2);
    lblMaps->move(content.left() + lblSource->width() + 5, content.top() + 2);
    lblSetup->move(content.right() + 1 - lblSetup->width(), content.top() + 2);
}
