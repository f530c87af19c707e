#include "stage/ui/MotionPanel.h"

#include "controls/FlatSlider.h"
#include "document/Document.h"
#include "document/LanguageTable.h"
#include "document/MessageSink.h"
#include "document/ProjectEditor.h"
#include "stage/MotionEasing.h"
#include "stage/ui/GuideLineDialog.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QWheelEvent>

#include <algorithm>

namespace {

const QColor kBackground(190, 190, 190);
constexpr int kRow = 15;
constexpr int kSliderLeft = 130;
constexpr int kSliderRight = 250;
// The chooser leaves the slider column's left edge for the room its longest name needs.
constexpr int kChooserLeft = 70;
constexpr int kChooserRight = 286;
// The curve drawings: small in the closed chooser, larger in its list.
constexpr QSize kSmallCurve(24, 16);
constexpr QSize kLargeCurve(40, 26);
const QColor kCurveLine(0x2D, 0x7F, 0xF9);

// A drawing of `easing` in a box of `size`: progress from left to right, the eased value from
// bottom to top, with faint lines at 0 and 1 so that the overshoot of Back and Elastic shows.
QPixmap curvePicture(Easing easing, QSize size, qreal pixelRatio, const QColor& line) {
    QPixmap picture(size * pixelRatio);
    picture.setDevicePixelRatio(pixelRatio);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    // Eased values from -0.05 to 1.4 fill the height (Elastic reaches about 1.37).
    const QRectF box = QRectF(QPointF(0, 0), QSizeF(size)).adjusted(1.5, 1.5, -1.5, -1.5);
    constexpr qreal kLow = -0.05;
    constexpr qreal kHigh = 1.4;
    const auto at = [&box](qreal t, qreal value) {
        return QPointF(box.left() + t * box.width(),
                       box.bottom() - (value - kLow) / (kHigh - kLow) * box.height());
    };
    QColor guide = line;
    guide.setAlpha(90);
    painter.setPen(QPen(guide, 1));
    painter.drawLine(at(0, 0), at(1, 0));
    painter.drawLine(at(0, 1), at(1, 1));
    QPainterPath path(at(0, 0));
    const int steps = static_cast<int>(box.width() * 2);
    for (int k = 1; k <= steps; ++k) {
        const qreal t = static_cast<qreal>(k) / steps;
        path.lineTo(at(t, MotionEasing::apply(easing, static_cast<float>(t))));
    }
    painter.setPen(QPen(line, size.height() > 20 ? 1.8 : 1.5));
    painter.drawPath(path);
    return picture;
}

// The chooser's picture of `easing`: blue on the panel and in the list, white on the list's
// highlighted row.
QIcon curveIcon(Easing easing, qreal pixelRatio) {
    QIcon icon;
    for (QSize size : {kSmallCurve, kLargeCurve}) {
        icon.addPixmap(curvePicture(easing, size, pixelRatio, kCurveLine));
        icon.addPixmap(curvePicture(easing, size, pixelRatio, Qt::white), QIcon::Selected);
    }
    return icon;
}

} // namespace

MotionPanel::MotionPanel(ProjectEditor& editor, MessageSink& sink, const LanguageTable& texts,
                         QWidget* parent)
    : QWidget(parent), m_editor(editor), m_sink(sink), m_texts(texts), m_model(editor, texts),
      m_liner(new QPushButton(tr("Liner Motion"), this)),
      m_guideLine(new QPushButton(tr("Guide Line Motion"), this)),
      m_dialogButton(new QPushButton(tr("Draw Guide Line..."), this)),
      m_easing(new QComboBox(this)) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    const auto& sliders = MotionPanelModel::sliders();
    for (std::size_t i = 0; i < sliders.size(); ++i) {
        auto* slider = new FlatSlider(sliders[i].maximum, this);
        const int command = sliders[i].command;
        connect(slider, &FlatSlider::pressed, this,
                [this, command] { m_model.sliderPressed(command); });
        connect(slider, &FlatSlider::moved, this, [this, command](int position) {
            m_model.sliderMoved(command, position);
            update(); // the read-outs
        });
        connect(slider, &FlatSlider::released, this,
                [this, command] { m_model.sliderReleased(command); });
        m_sliders[i] = slider;
    }
    for (QPushButton* toggle : {m_liner, m_guideLine}) {
        toggle->setCheckable(true);
        // The chosen motion stands out clearly on the grey panel.
        toggle->setStyleSheet(QStringLiteral(
            "QPushButton { background: #f3f5f8; border: 1px solid #8c95a0; border-radius: 3px; }"
            "QPushButton:checked { background: #2d7ff9; color: white; border-color: #1f5fc0; }"));
    }
    connect(m_liner, &QPushButton::clicked, this, [this] {
        m_model.toggle(MotionPanelModel::kLinerToggle);
        layoutControls();
    });
    connect(m_guideLine, &QPushButton::clicked, this, [this] {
        m_model.toggle(MotionPanelModel::kGuideLineToggle);
        layoutControls();
    });
    connect(m_dialogButton, &QPushButton::clicked, this, &MotionPanel::openGuideLineDialog);

    const qreal ratio = devicePixelRatioF();
    for (Easing easing : MotionEasing::all())
        m_easing->addItem(curveIcon(easing, ratio), QString::fromUtf8(MotionEasing::name(easing)),
                          int(easing));
    m_easing->setIconSize(kSmallCurve);
    // The list: a plain item view (the style's menu look would keep the small pictures), each
    // curve drawn larger, and wide enough for the longest name.
    m_easing->setItemDelegate(new QStyledItemDelegate(m_easing));
    m_easing->view()->setIconSize(kLargeCurve);
    int widest = 0;
    for (int i = 0; i < m_easing->count(); ++i)
        widest = std::max(widest, m_easing->fontMetrics().horizontalAdvance(m_easing->itemText(i)));
    m_easing->view()->setMinimumWidth(kLargeCurve.width() + widest + 40);
    m_easing->setToolTip(tr("How the motion speeds up and slows down between its start and end"));
    m_easing->setFocusPolicy(Qt::StrongFocus);
    m_easing->installEventFilter(this); // the wheel over the panel changes no curve
    // activated: the user's choice only, not the panel's own loading of the selected object.
    connect(m_easing, &QComboBox::activated, this, [this](int index) {
        m_model.chooseEasing(static_cast<Easing>(m_easing->itemData(index).toInt()));
    });
    layoutControls();
    m_editor.subscribe(this);
}

MotionPanel::~MotionPanel() {
    m_editor.unsubscribe(this);
}

void MotionPanel::documentChanged(DocumentChange change) {
    if (change.has(DocumentChange::Objects | DocumentChange::Selection | DocumentChange::Layers |
                   DocumentChange::Replaced))
        load();
}

FlatSlider* MotionPanel::slider(int command) const {
    const auto& sliders = MotionPanelModel::sliders();
    for (std::size_t i = 0; i < sliders.size(); ++i)
        if (sliders[i].command == command)
            return m_sliders[i];
    return nullptr;
}

QPushButton* MotionPanel::toggle(int command) const {
    return command == MotionPanelModel::kLinerToggle ? m_liner : m_guideLine;
}

void MotionPanel::load() {
    m_model.load();
    const auto& sliders = MotionPanelModel::sliders();
    for (std::size_t i = 0; i < sliders.size(); ++i)
        m_sliders[i]->setPosition(m_model.position(sliders[i].command));
    m_easing->setCurrentIndex(m_easing->findData(int(m_model.easing())));
    layoutControls();
}

void MotionPanel::layoutControls() {
    const MotionPanelModel::Column column = MotionPanelModel::column(height());
    const int y0 = column.top;
    const bool toggles = m_model.togglesShown();
    m_liner->setGeometry(10, y0, 100, 20);
    m_guideLine->setGeometry(130, y0, 130, 20);
    m_liner->setVisible(toggles);
    m_guideLine->setVisible(toggles);
    m_liner->setChecked(m_model.mode() == 1);
    m_guideLine->setChecked(m_model.mode() == 2);
    // Only the sliders that leave the layout are hidden: one being dragged stays as it is.
    const std::vector<int> shown = m_model.visibleSliders();
    for (std::size_t i = 0; i < m_sliders.size(); ++i) {
        const auto row = std::find(shown.begin(), shown.end(), static_cast<int>(i));
        if (row == shown.end()) {
            m_sliders[i]->hide();
            continue;
        }
        const int top = y0 + 25 + static_cast<int>(row - shown.begin()) * column.pitch;
        m_sliders[i]->setGeometry(kSliderLeft, top, kSliderRight - kSliderLeft, 11);
        m_sliders[i]->show();
    }
    m_dialogButton->setVisible(m_model.guideLineButtonShown());
    m_dialogButton->setGeometry(kSliderLeft, m_model.buttonTop(column), 130,
                                MotionPanelModel::kButtonHeight);
    // A curve shapes a motion: without one (or without an object) there is nothing to shape.
    m_easing->setEnabled(m_model.selectedObject() >= 0 && m_model.mode() != kNoMotion);
    m_easing->setGeometry(kChooserLeft, m_model.chooserTop(column), kChooserRight - kChooserLeft,
                          MotionPanelModel::kChooserHeight);
    update();
}

void MotionPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), kBackground);
    const MotionPanelModel::Column column = MotionPanelModel::column(height());
    const auto& sliders = MotionPanelModel::sliders();
    int row = 0;
    painter.setPen(Qt::black);
    for (int index : m_model.visibleSliders()) {
        const int top = column.top + 25 + row * column.pitch - 2;
        painter.drawText(QRect(15, top, kSliderLeft - 18, kRow), Qt::AlignVCenter | Qt::AlignLeft,
                         QString::fromUtf8(m_model.label(index).c_str()));
        const int command = sliders[std::size_t(index)].command;
        painter.drawText(QRect(kSliderRight + 4, top, width() - kSliderRight - 6, kRow),
                         Qt::AlignVCenter | Qt::AlignLeft,
                         QString::fromUtf8(m_model.valueText(command).c_str()));
        ++row;
    }
    painter.drawText(
        QRect(15, m_model.chooserTop(column), kChooserLeft - 18, MotionPanelModel::kChooserHeight),
        Qt::AlignVCenter | Qt::AlignLeft, tr("Easing"));
}

void MotionPanel::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layoutControls();
}

bool MotionPanel::eventFilter(QObject* watched, QEvent* event) {
    // A wheel turned over the closed chooser would change the curve, an edit the user did not
    // mean while scrolling past; the open list still scrolls.
    if (watched == m_easing && event->type() == QEvent::Wheel)
        return true;
    return QWidget::eventFilter(watched, event);
}

void MotionPanel::openGuideLineDialog() {
    if (!m_model.prepareGuideLineDialog()) {
        m_sink.show("No animation object on the timeline.", m_texts.text(kTextProductName),
                    MessageIcon::Information);
        return;
    }
    layoutControls();
    GuideLineDialog dialog(m_editor, m_model.selectedObject(), window());
    dialog.exec();
}
