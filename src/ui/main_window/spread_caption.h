#pragma once

#include <QLabel>

// A caption of a few words, a run of blanks, and a last word that names a control further right.
// The blanks in the text are as wide as the font makes them; this label draws the last word at a
// set position instead, so the caption lines up with its controls whatever font the system has.
// text() stays the caption as given.
class SpreadCaption : public QLabel
{
    Q_OBJECT
  public:
    using QLabel::QLabel;

    // Where the last word starts, in the label's own coordinates; below 0 the text is drawn as it is.
    void setLastWordX(qreal x);
    qreal lastWordX() const { return lastWordX_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

  protected:
    void paintEvent(QPaintEvent *event) override;

  private:
    QString head() const;     // the text before the last run of blanks
    QString lastWord() const; // the text after it

    qreal lastWordX_ = -1;
};
