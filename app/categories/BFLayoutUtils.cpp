#include "app/categories/BFLayoutUtils.h"

#include "app/categories/BFStringUtils.h"
#include "app/categories/BFStyleUtils.h"
#include "app/categories/MD5.h"
#include "app/core/tavrixConfig.h"
#include "app/download/PCFile.h"
#include "app/download/netLoading.h"
#include "platform/foundation/DeviceInfo.h"
#include "platform/ui/Button.h"
#include "platform/ui/Font.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/TextField.h"

namespace {

double maxY(const ui::View* v) {
    return v->frame().y() + v->frame().height();
}
double maxX(const ui::View* v) {
    return v->frame().x() + v->frame().width();
}

ui::View* lastSubview(const ui::View* view) {
    const QList<ui::View*> subs = view->subviews();
    return subs.isEmpty() ? nullptr : subs.last();
}

void setSize(ui::View* view, double width, double height) {
    view->setFrame(QRectF(view->frame().topLeft(), QSizeF(width, height)));
}

// A multi-line height of the text in the bold system font, wrapping at words.
double boldTextHeight(const QString& text, float width, int fontSize) {
    return ui::Label::boundingRectForText(text, ui::Font::boldSystemFontOfSize(fontSize),
                                          QSizeF(width, 1e6), ui::LineBreakMode::WordWrapping)
        .height();
}

} // namespace

QRectF BFLayoutUtils::lineLayout(const BFTopPaddingLayout& layout, const ui::View* relative) {
    const QRectF f = relative ? relative->frame() : QRectF();
    return {f.x() + layout.left, f.y() + f.height() + layout.top, layout.width, layout.height};
}

QRectF BFLayoutUtils::lineLayout(const BFTopPaddingLayout& layout, const QPointF& point) {
    return {point.x() + layout.left, point.y() + layout.top, layout.width, layout.height};
}

QRectF BFLayoutUtils::columnLayout(const BFTopPaddingLayout& layout, const ui::View* relative) {
    const QRectF f = relative ? relative->frame() : QRectF();
    return {f.x() + f.width() + layout.left, f.y() + layout.top, layout.width, layout.height};
}

QRectF BFLayoutUtils::columnLayout(const BFTopPaddingLayout& layout, const QPointF& point) {
    return lineLayout(layout, point);
}

ui::ImageView* BFLayoutUtils::getUIImageView(const QString& image, const QRectF& frame) {
    auto* view = new ui::ImageView(frame);
    view->setImage(ui::imageNamed(image));
    view->setUserInteractionEnabled(true);
    view->setBackgroundColor(Qt::transparent);
    return view;
}

ui::ImageView* BFLayoutUtils::getUIImageViewWithURL(const QString& address, const QRectF& frame) {
    QString url = address;
    if (!url.isEmpty() && !url.startsWith("http://")) url = tavrixConfig::serverBaseAddress() + url;
    auto* view = new ui::ImageView(frame);
    view->setUserInteractionEnabled(true);
    view->setBackgroundColor(Qt::transparent);
    // Never waited for: the picture comes the way every remote picture does (memory cache,
    // cached file, or a shared download within the picture ceilings) and shows when it is
    // there; the view starts empty.
    netLoading::asynchronousLoadImage(view, url, MD5::md5(url),
                                      PCFile::fileCacheDir(QStringLiteral("imageCache")), QImage());
    return view;
}

ui::ImageView* BFLayoutUtils::getResizeUIImageView(const QString& image, const QRectF& frame,
                                                   float capLeft, float capTop) {
    auto* view = new ui::ImageView(frame);
    view->setImage(BFStyleUtils::imageResizeWith(image, capLeft, capTop));
    view->setUserInteractionEnabled(true);
    view->setBackgroundColor(Qt::transparent);
    return view;
}

ui::Label* BFLayoutUtils::getUILabel(const QString& text, const QRectF& frame) {
    auto* label = new ui::Label(frame);
    label->setText(text);
    label->setLineBreakMode(ui::LineBreakMode::CharWrapping);
    label->setBackgroundColor(Qt::transparent);
    return label;
}

ui::Label* BFLayoutUtils::getUILabel(const QString& text, const QRectF& frame, float fontSize,
                                     const BFColor& color) {
    ui::Label* label = getUILabel(text, frame);
    label->setFont(ui::Font::systemFontOfSize(fontSize));
    label->setTextColor(BFStyleUtils::colorWith(color));
    return label;
}

ui::Label* BFLayoutUtils::getUILabel(const QString& text, const QRectF& frame, bool fontBold,
                                     float fontSize, const BFColor& color) {
    ui::Label* label = getUILabel(text, frame, fontSize, color);
    if (fontBold) label->setFont(ui::Font::boldSystemFontOfSize(fontSize));
    label->setNumberOfLines(0);
    return label;
}

ui::TextField* BFLayoutUtils::getUITextField(const QRectF& frame, const QString& placeHolder) {
    auto* field = new ui::TextField(frame);
    field->setPlaceholder(placeHolder);
    field->setContentVerticalAlignment(ui::Control::ContentVerticalAlignment::Center);
    field->setUserInteractionEnabled(true);
    return field;
}

ui::View* BFLayoutUtils::getUIView(const QRectF& frame) {
    auto* view = new ui::View(frame);
    view->setUserInteractionEnabled(true);
    view->setClipsToBounds(true);
    return view;
}

ui::ScrollView* BFLayoutUtils::getUIScrollView(const QRectF& frame) {
    auto* view = new ui::ScrollView(frame);
    view->setContentSize(QSizeF(frame.width(), 0));
    view->setScrollEnabled(true);
    return view;
}

ui::Button* BFLayoutUtils::getUIButton(const QString& title, const QString& image,
                                       const QRectF& frame) {
    auto* button = new ui::Button(frame);
    button->titleLabel()->setText(title);
    button->setTitle(title, ui::Control::Normal);
    button->setBackgroundImage(ui::imageNamed(image), ui::Control::Normal);
    return button;
}

ui::Button* BFLayoutUtils::getUIButton(const QString& title, const QString& image,
                                       const QString& selectedImage, const QRectF& frame) {
    ui::Button* button = getUIButton(title, image, frame);
    const QImage selected = ui::imageNamed(selectedImage);
    button->setBackgroundImage(selected, ui::Control::Highlighted);
    button->setBackgroundImage(selected, ui::Control::Selected);
    return button;
}

ui::Button* BFLayoutUtils::getUIButton(const QString& title, const QString& image,
                                       const QString& selectedImage, const QRectF& frame,
                                       const BFColor& color) {
    ui::Button* button = getUIButton(title, image, selectedImage, frame);
    const QColor c = BFStyleUtils::colorWith(color);
    button->titleLabel()->setTextColor(c);
    button->setTitleColor(c, ui::Control::Normal);
    button->setTitleColor(c, ui::Control::Highlighted);
    return button;
}

void BFLayoutUtils::commonBG(ui::View* view) {
    if (view) view->setBackgroundBrush(BFStyleUtils::colorWithCommonBG());
}

ui::View* BFLayoutUtils::adjustHeight(ui::View* view, float offset, float minHeight) {
    if (!view) return view;
    if (const ui::View* last = lastSubview(view))
        setSize(view, view->frame().width(), std::max<double>(maxY(last) + offset, minHeight));
    return view;
}

ui::View* BFLayoutUtils::adjustHeight(ui::View* view, float offset) {
    if (!view) return view;
    if (const ui::View* last = lastSubview(view))
        setSize(view, view->frame().width(), maxY(last) + offset);
    return view;
}

void BFLayoutUtils::adjustContentHeight(ui::ScrollView* view, float offset) {
    if (!view) return;
    const ui::View* last = lastSubview(view);
    view->setContentSize(QSizeF(view->frame().width(), last ? maxY(last) + offset : offset));
}

void BFLayoutUtils::setContentHeight(ui::ScrollView* view, float height) {
    if (view) view->setContentSize(QSizeF(view->contentSize().width(), height));
}

void BFLayoutUtils::setHeight(ui::View* view, float height) {
    if (view) setSize(view, view->frame().width(), height);
}

void BFLayoutUtils::adjustOriginY(ui::View* view, float offset, double) {
    if (view) view->setFrame(view->frame().translated(0, offset));
}

void BFLayoutUtils::setOriginY(ui::View* view, float originY) {
    if (view) view->setFrame(QRectF(QPointF(view->frame().x(), originY), view->frame().size()));
}

void BFLayoutUtils::lowestContentHeight(ui::ScrollView* view, float height) {
    if (!view) return;
    if (const ui::View* last = lastSubview(view))
        view->setContentSize(QSizeF(view->frame().width(), std::max<double>(maxY(last), height)));
}

void BFLayoutUtils::doLayout(ui::View* container, std::initializer_list<ui::View*> with) {
    if (!container) return;
    for (ui::View* v : with) {
        if (!v) return;
        container->addSubview(v);
    }
}

float BFLayoutUtils::commonHeight() {
    return float(ns::DeviceInfo::kScreenHeight - 20 - 44 - 49 + 2);
}

QRectF BFLayoutUtils::screenBounds() {
    return {0, 0, ns::DeviceInfo::kScreenWidth, ns::DeviceInfo::kScreenHeight};
}

ui::Label* BFLayoutUtils::getNoRecordLabel(const QString& text, const QRectF& frame, int withFlag) {
    ui::Label* label = getUILabel(text, frame);
    label->setNumberOfLines(0);
    label->setTextAlignment(ui::TextAlignment::Center);
    label->setTextColor(QColor(185, 125, 5));
    label->setFont(ui::Font::systemFontOfSize(13));
    label->setTag(withFlag);
    return label;
}

void BFLayoutUtils::adjustWidth(ui::View* view, float offset) {
    if (!view) return;
    if (const ui::View* last = lastSubview(view))
        setSize(view, maxX(last) + offset, view->frame().height());
}

float BFLayoutUtils::getLastestSubViewOffSet(const ui::View* view) {
    const ui::View* last = view ? lastSubview(view) : nullptr;
    return last ? float(maxY(last)) : 0.f;
}

void BFLayoutUtils::removeAllSubViews(ui::View*) {}

void BFLayoutUtils::replaceView(ui::View* view, ui::View* with) {
    if (!view) return;
    ui::View* parent = view->superview();
    view->removeFromSuperview();
    if (parent && with) parent->addSubview(with);
}

ui::View* BFLayoutUtils::doWrapView(ui::View* view, const QRectF& frame) {
    ui::View* wrapper = getUIView(frame);
    if (view) wrapper->addSubview(view);
    return wrapper;
}

ui::View* BFLayoutUtils::doWrapView(ui::View* view, int padding) {
    if (!view) return getUIView(QRectF());
    const QRectF f = view->frame();
    ui::View* wrapper = getUIView(QRectF(0, 0, f.width() + 2 * padding, f.height() + 2 * padding));
    wrapper->setCenter(f.center());
    wrapper->addSubview(view);
    view->setFrame(QRectF(QPointF(padding, padding), f.size()));
    return wrapper;
}

bool BFLayoutUtils::isbreakLine(const QString& text, float withWidth, int withFontSize) {
    return boldTextHeight(text, withWidth, withFontSize) >
           boldTextHeight("1", withWidth, withFontSize);
}

QString BFLayoutUtils::insertBreakLine(const QString& text, float withWidth, int withFontSize) {
    if (BFStringUtils::isEmpty(text)) return QString("");
    if (!isbreakLine(text, withWidth, withFontSize)) return text;
    for (qsizetype i = 1; i < text.size(); ++i) {
        if (isbreakLine(text.left(i + 1), withWidth, withFontSize))
            return text.left(i) + u'\n' + text.mid(i);
    }
    return text;
}
