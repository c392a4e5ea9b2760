#pragma once

#include "app/categories/BFColor.h"
#include "app/categories/BFTopPaddingLayout.h"

#include <QPointF>
#include <QRectF>
#include <QString>
#include <initializer_list>

namespace ui {
class Button;
class ImageView;
class Label;
class ScrollView;
class TextField;
class View;
} // namespace ui

// Factories of plain views and the frame arithmetic the screens lay themselves out with.
// "The last subview" is the last one added (a scroll view's content counts).
class BFLayoutUtils {
public:
    BFLayoutUtils() = delete;

    // The next line below the view / the next column right of it, at the layout's distance.
    static QRectF lineLayout(const BFTopPaddingLayout& layout, const ui::View* relative);
    static QRectF lineLayout(const BFTopPaddingLayout& layout, const QPointF& point);
    static QRectF columnLayout(const BFTopPaddingLayout& layout, const ui::View* relative);
    static QRectF columnLayout(const BFTopPaddingLayout& layout, const QPointF& point);

    static ui::ImageView* getUIImageView(const QString& image, const QRectF& frame);
    // Addresses without "http://" are taken relative to the server. The picture is loaded
    // like every remote picture (netLoading: cached, else fetched in the background within
    // the picture ceilings) and shown when it arrives; nothing waits for it.
    static ui::ImageView* getUIImageViewWithURL(const QString& address, const QRectF& frame);
    static ui::ImageView* getResizeUIImageView(const QString& image, const QRectF& frame,
                                               float capLeft, float capTop);

    static ui::Label* getUILabel(const QString& text, const QRectF& frame);
    static ui::Label* getUILabel(const QString& text, const QRectF& frame, float fontSize,
                                 const BFColor& color);
    static ui::Label* getUILabel(const QString& text, const QRectF& frame, bool fontBold,
                                 float fontSize, const BFColor& color);
    static ui::TextField* getUITextField(const QRectF& frame, const QString& placeHolder);
    static ui::View* getUIView(const QRectF& frame);
    static ui::ScrollView* getUIScrollView(const QRectF& frame);
    static ui::Button* getUIButton(const QString& title, const QString& image, const QRectF& frame);
    static ui::Button* getUIButton(const QString& title, const QString& image,
                                   const QString& selectedImage, const QRectF& frame);
    static ui::Button* getUIButton(const QString& title, const QString& image,
                                   const QString& selectedImage, const QRectF& frame,
                                   const BFColor& color);

    static void commonBG(ui::View* view);
    static ui::View* adjustHeight(ui::View* view, float offset, float minHeight);
    static ui::View* adjustHeight(ui::View* view, float offset);
    static void adjustContentHeight(ui::ScrollView* view, float offset);
    static void setContentHeight(ui::ScrollView* view, float height);
    static void setHeight(ui::View* view, float height);
    static void adjustOriginY(ui::View* view, float offset, double withDuration);
    static void setOriginY(ui::View* view, float originY);
    static void lowestContentHeight(ui::ScrollView* view, float height);
    // Adds the views in order, up to the first missing one.
    static void doLayout(ui::View* container, std::initializer_list<ui::View*> with);
    static float commonHeight();
    static QRectF screenBounds();
    static ui::Label* getNoRecordLabel(const QString& text, const QRectF& frame, int withFlag);
    static void adjustWidth(ui::View* view, float offset);
    static float getLastestSubViewOffSet(const ui::View* view);
    static void removeAllSubViews(ui::View* view);
    static void replaceView(ui::View* view, ui::View* with);
    static ui::View* doWrapView(ui::View* view, const QRectF& frame);
    static ui::View* doWrapView(ui::View* view, int padding);
    // Whether the text needs more than one line in the bold system font of that size.
    static bool isbreakLine(const QString& text, float withWidth, int withFontSize);
    // The text with "\n" where its first line ends.
    static QString insertBreakLine(const QString& text, float withWidth, int withFontSize);
};
