#pragma once

#include <QAbstractButton>
#include <QString>

// ImageButton: a flat button drawing an SVG picture from the resources (or a text), lit while
// the pointer is over it and darker while it is held. Its picture can change while it is
// shown (the preview button's start and stop pictures).
class ImageButton : public QAbstractButton {
    Q_OBJECT

public:
    explicit ImageButton(const QString& picture, QWidget* parent = nullptr);

    void setPicture(const QString& picture);
    const QString& picture() const { return m_picture; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    QString m_picture;
    bool m_hovered = false;
};
