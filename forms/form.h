#pragma once
// A window built from its design: caption, client geometry in twips, border and title buttons,
// placement, icon, cursor, colours and named controls in their tab order. A program's window
// derives from Form and answers its events by overriding onLoad, onResize and onActivate; it
// reaches its controls by name. Message lines drawn on the surface are kept and redrawn.

#include "design.h"

#include <QStringList>
#include <QWidget>
#include <map>

namespace forms {

class Form : public QWidget
{
    Q_OBJECT
public:
    explicit Form(FormDesign design, QWidget *parent = nullptr);
    ~Form() override;

    const FormDesign &design() const { return design_; }

    QWidget *control(const QString &name) const;
    template<class T>
    T *control(const QString &name) const { return qobject_cast<T *>(control(name)); }

    // Raises Load the first time, then shows the window where its design places it.
    void showForm();
    // Destroys the window; the program ends when no window is left.
    void unload();
    void takeFocus();

    // The full width of the window, frame included, in twips.
    float outerWidthTwips() const;
    qreal dpi() const;

    // Message lines: each is drawn at the drawing position, which then moves to the next line.
    void print(const QString &line);
    const QStringList &printedLines() const { return lines_; }
    // Where a message line is drawn, in client coordinates.
    QRect lineRect(int index) const;

protected:
    virtual void onLoad() {}
    virtual void onResize() {}
    virtual void onActivate() {}

    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void changeEvent(QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void raiseResize();
    void keepDesignedSize();
    QSize designedSize() const;
    // Moves the window so that a window of this outer size stands in the middle of the available
    // geometry of its screen.
    void centreOnScreen(QSize outer);

    FormDesign design_;
    std::map<QString, QWidget *> controls_;
    QStringList lines_;
    bool loaded_ = false;
    int lastOuterWidth_ = -1;
    bool inResize_ = false;
    bool centrePending_ = false; // centred before the frame was known
};

} // namespace forms
