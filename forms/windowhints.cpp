#include "windowhints.h"

#include <QGuiApplication>
#include <QWidget>

#ifdef FORMS_HAVE_XCB
#include <xcb/xcb.h>
#endif

namespace forms {

namespace {

enum : quint32 {
    MwmHintsFunctions = 1u << 0,
    MwmHintsDecorations = 1u << 1,
    MwmFuncResize = 1u << 1,
    MwmFuncMove = 1u << 2,
    MwmFuncMinimize = 1u << 3,
    MwmFuncMaximize = 1u << 4,
    MwmFuncClose = 1u << 5,
    MwmDecorBorder = 1u << 1,
    MwmDecorResizeH = 1u << 2,
    MwmDecorTitle = 1u << 3,
    MwmDecorMenu = 1u << 4,
    MwmDecorMinimize = 1u << 5,
    MwmDecorMaximize = 1u << 6,
};

} // namespace

void applyWindowHints(QWidget *window, const FormDesign &design)
{
    // Only a window that must not move needs more than Qt writes by itself.
    if (design.movable)
        return;
#ifdef FORMS_HAVE_XCB
    if (QGuiApplication::platformName() != QStringLiteral("xcb"))
        return;
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->connection())
        return;
    xcb_connection_t *conn = x11->connection();
    quint32 functions = 0;
    quint32 decorations = MwmDecorBorder | MwmDecorTitle;
    const bool sizable = design.border == Border::Sizable;
    if (sizable) {
        functions |= MwmFuncResize;
        decorations |= MwmDecorResizeH;
    }
    if (design.controlBox) {
        functions |= MwmFuncClose;
        decorations |= MwmDecorMenu;
        if (design.minButton) {
            functions |= MwmFuncMinimize;
            decorations |= MwmDecorMinimize;
        }
        if (design.maxButton) {
            functions |= MwmFuncMaximize;
            decorations |= MwmDecorMaximize;
        }
    }
    const quint32 hints[5] = {MwmHintsFunctions | MwmHintsDecorations, functions, decorations, 0, 0};
    static const char name[] = "_MOTIF_WM_HINTS";
    xcb_intern_atom_reply_t *reply =
        xcb_intern_atom_reply(conn, xcb_intern_atom(conn, 0, sizeof(name) - 1, name), nullptr);
    if (!reply)
        return;
    const xcb_atom_t atom = reply->atom;
    free(reply);
    xcb_change_property(conn, XCB_PROP_MODE_REPLACE, xcb_window_t(window->winId()), atom, atom, 32, 5, hints);
    xcb_flush(conn);
#else
    Q_UNUSED(window);
#endif
}

} // namespace forms
