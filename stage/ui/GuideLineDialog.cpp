#include "stage/ui/GuideLineDialog.h"

#include "controls/AngleDial.h"
#include "controls/WindowShape.h"
#include "document/Document.h"
#include "document/ProjectEditor.h"
#include "stage/ui/GuideLineArea.h"
#include "stage/ui/StageCursors.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>

#include <cmath>

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 580;
const QColor kFace(0xF3, 0xF5, 0xF8);
const QColor kEdge(0x9A, 0xA6, 0xB2);
const QColor kBeyond(200, 200, 200);
constexpr double kPi = 3.14159265358979323846;

} // namespace

GuideLineDialog::GuideLineDialog(ProjectEditor& editor, int objectIndex, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), m_editor(editor),
      m_objectIndex(objectIndex) {
    setAttribute(Qt::WA_TranslucentBackground);
    setFixedSize(kWidth, kHeight);
    setWindowTitle(tr("Guide Line"));
    QSize stage(320, 120);
    {
        auto lock = editor.document().lock();
        const Project& project = lock.project();
        stage = QSize(project.header.width, project.header.height);
        if (objectIndex >= 0 && objectIndex < project.objectCount()) {
            const AnimationObject& object = project.objects[std::uint32_t(objectIndex)];
            m_degrees = ((360 - object.record.headingOffset) % 360 + 360) % 360;
            if (const EmbeddedSymbol* symbol =
                    lock.symbols().find(project.symbolIds[std::uint32_t(objectIndex)]);
                symbol && !symbol->frames.isEmpty())
                m_picture = symbol->frames[0];
        }
    }

    auto* scroll = new QScrollArea(this);
    scroll->setGeometry(20, 40, 600, 400);
    scroll->setFrameShape(QFrame::Box);
    QPalette beyond = scroll->palette();
    beyond.setColor(QPalette::Window, kBeyond);
    scroll->setPalette(beyond);
    scroll->setBackgroundRole(QPalette::Window);
    m_area = new GuideLineArea(editor, objectIndex, stage);
    scroll->setWidget(m_area);
    scroll->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    auto* close = new QPushButton(QStringLiteral("\u2715"), this);
    close->setGeometry(kWidth - 40, 8, 26, 24);
    close->setFlat(true);
    close->setToolTip(tr("Close"));
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    auto* clear = new QPushButton(tr("Clear Line"), this);
    clear->setGeometry(20, 480, 120, 28);
    connect(clear, &QPushButton::clicked, this, [this] { m_area->clear(); });

    m_dial = new AngleDial(this);
    m_dial->setGeometry(170, 460, 70, 70);
    m_dial->setCursor(StageCursors::dial());
    m_dial->setAngle(m_degrees * kPi / 180.0);
    // A turn of the dial is one drag of the object: one undo step at the release.
    connect(m_dial, &AngleDial::pressed, this, [this] { m_editor.beginObjectDrag(m_objectIndex); });
    connect(m_dial, &AngleDial::moved, this, &GuideLineDialog::setHeading);
    connect(m_dial, &AngleDial::released, this, [this](int degrees) {
        setHeading(degrees);
        m_editor.commitObjectDrag();
    });
    if (parent)
        move(parent->geometry().center() - rect().center());
}

void GuideLineDialog::setHeading(int degrees) {
    m_degrees = degrees;
    std::optional<AnimationObject> object = m_editor.objectCopy(m_objectIndex);
    if (!object)
        return;
    object->record.headingOffset = 360 - degrees;
    m_editor.updateObject(m_objectIndex, *object);
    update();
}

void GuideLineDialog::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    WindowShape::paintFace(painter, rect(), 8, kFace, kEdge);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QColor(0x2A, 0x37, 0x47));
    QFont bold = font();
    bold.setBold(true);
    painter.setFont(bold);
    painter.drawText(QRect(20, 8, 400, 28), Qt::AlignVCenter, windowTitle());
    painter.setFont(font());
    painter.drawText(QRect(250, 460, 60, 70), Qt::AlignCenter | Qt::TextWordWrap,
                     tr("Heading\n%1\u00B0").arg(m_degrees));

    // The object's picture with an arrow turned to the chosen angle (clockwise from up).
    const QRectF box(320, 460, 70, 70);
    painter.setPen(kEdge);
    painter.setBrush(Qt::white);
    painter.drawRoundedRect(box, 4, 4);
    if (!m_picture.isNull()) {
        const QSizeF fitted =
            QSizeF(m_picture.size()).scaled(box.size() - QSizeF(16, 16), Qt::KeepAspectRatio);
        const QRectF target(box.center() - QPointF(fitted.width(), fitted.height()) / 2, fitted);
        painter.drawImage(target, m_picture);
    }
    const double a = m_degrees * kPi / 180.0;
    const QPointF c = box.center();
    const QPointF tip(c.x() + 30 * std::sin(a), c.y() - 30 * std::cos(a));
    painter.setPen(QPen(QColor(0xE0, 0x3A, 0x2E), 2.5, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(c, tip);
    const QPointF left(tip.x() - 8 * std::sin(a - 0.5), tip.y() + 8 * std::cos(a - 0.5));
    const QPointF right(tip.x() - 8 * std::sin(a + 0.5), tip.y() + 8 * std::cos(a + 0.5));
    painter.drawLine(tip, left);
    painter.drawLine(tip, right);
}

void GuideLineDialog::mousePressEvent(QMouseEvent* event) {
    m_dragOffset = event->globalPosition().toPoint() - frameGeometry().topLeft();
}

void GuideLineDialog::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() & Qt::LeftButton)
        move(event->globalPosition().toPoint() - m_dragOffset);
}
