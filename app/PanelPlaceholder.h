#pragma once

#include <QString>
#include <QWidget>

// PanelPlaceholder: an empty panel of the main window that names the panel it stands for,
// until that panel exists.
class PanelPlaceholder : public QWidget {
    Q_OBJECT

public:
    PanelPlaceholder(QString name, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_name;
};
