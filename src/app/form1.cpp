#include "app/form1.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QPixmap>
#include <cstdio>

#include "app/fonts.h"
#include "browser/twips.h"

namespace quintavia {
namespace {

#include "app/icon_16.xpm"
#include "app/icon_32.xpm"

constexpr int kClientWidth = 16515;
constexpr int kClientHeight = 9240;

void Place(QWidget* widget, int left, int top, int width, int height) {
    widget->setGeometry(
        TwipsToPixels(static_cast<float>(left)), TwipsToPixels(static_cast<float>(top)),
        TwipsToPixels(static_cast<float>(width)), TwipsToPixels(static_cast<float>(height)));
}

void Paint(QWidget* widget, QColor background) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Base, background);
    widget->setPalette(palette);
}

QComboBox* MakeComboBox(QWidget* parent, const char* name, const QString& tip, QColor background) {
    auto* box = new QComboBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setEditable(true);
    // The user types into the box; only the program adds entries to the list.
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setToolTip(tip);
    Paint(box, background);
    return box;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& text,
                        const QString& tip) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setToolTip(tip);
    return button;
}

CheckBox3* MakeCheckBox(QWidget* parent, const char* name, const QString& text,
                        const QString& tip) {
    auto* box = new CheckBox3(text, parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setToolTip(tip);
    return box;
}

// An editable QComboBox reports "activated" also when typing ends (focus leaves the box, or
// Enter is pressed) on a text that matches an entry. Only a choice from the list is a choice,
// so this marks the moments when typing ends.
class TypingEndGuard final : public QObject {
  public:
    using QObject::QObject;
    bool typingEnded() const { return typingEnded_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const bool enter = event->type() == QEvent::KeyPress &&
                           (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Return ||
                            static_cast<QKeyEvent*>(event)->key() == Qt::Key_Enter);
        if (enter || event->type() == QEvent::FocusOut) {
            typingEnded_ = true;
            QTimer::singleShot(0, this, [this] { typingEnded_ = false; });
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    bool typingEnded_ = false;
};

struct DesignRect {
    int left, top, width, height;
};
constexpr std::array<DesignRect, kSiteCount> kPaneDesign{{
    {90, 480, 7155, 4965},
    {7350, 570, 7155, 4995},
    {0, 5580, 7155, 5535},
    {7440, 5730, 7155, 5535},
}};

}  // namespace

Form1::Form1(QWidget* parent, Beep* beep) : QWidget(parent) {
    setObjectName(QStringLiteral("Form1"));
    setFont(WindowFont());
    setWindowTitle(QString::fromLatin1(kDesignTitle));
    QIcon icon;
    icon.addPixmap(QPixmap(kIcon32));
    icon.addPixmap(QPixmap(kIcon16));
    setWindowIcon(icon);
    resize(TwipsToPixels(kClientWidth), TwipsToPixels(kClientHeight));

    for (int i = 0; i < kSiteCount; ++i) {
        auto* pane = new WebPane(i, this);
        pane->setObjectName(QStringLiteral("WebBrowser1_%1").arg(i));
        const DesignRect& r = kPaneDesign[static_cast<std::size_t>(i)];
        Place(pane, r.left, r.top, r.width, r.height);
        WebBrowser1[static_cast<std::size_t>(i)] = pane;
    }

    Combo1 =
        MakeComboBox(this, "Combo1", QStringLiteral("Scelta delle regioni"), QColor(255, 255, 192));
    Combo1->setEditText(QStringLiteral("Abruzzo"));
    Place(Combo1, 30, 0, 2115, 315);
    Command1 = MakeButton(this, "Command1", QStringLiteral("Aggiorna"),
                          QStringLiteral("Aggiorna manualmente le pagine"));
    Place(Command1, 2220, 0, 1095, 315);
    Combo2 = MakeComboBox(this, "Combo2", QStringLiteral("Log"), QColor(192, 255, 255));
    Place(Combo2, 3390, 0, 7035, 315);
    Check2 = MakeCheckBox(this, "Check2", QStringLiteral("Avviso sonoro"),
                          QStringLiteral("Avviso vocale di nuovi annunci"));
    Place(Check2, 10470, 0, 1335, 285);
    Check1 = MakeCheckBox(this, "Check1", QStringLiteral("Auto Posizione"),
                          QStringLiteral("Attiva la posizione delle pagine nelle finestre browser "
                                         "salvate"));
    Place(Check1, 11850, 0, 1365, 285);
    Command2 = MakeButton(this, "Command2", QStringLiteral("Salva posizione finestre"),
                          QStringLiteral("Salva la posizione delle pagine nelle finestre browser"));
    Place(Command2, 13260, 0, 1815, 315);
    // Only as wide as its square: the caption is there but never seen.
    Check3 = MakeCheckBox(this, "Check3", QStringLiteral("Check3"),
                          QStringLiteral("Visualizza Nome Agenzie"));
    Place(Check3, 15120, 0, 285, 285);

    const QFont labelFont = SiteLabelFont();
    for (int i = 0; i < kSiteCount; ++i) {
        auto* label = new QLineEdit(QString::fromLatin1(SiteAt(i).paneLabel), this);
        label->setObjectName(QStringLiteral("Text1_%1").arg(i));
        label->setFont(labelFont);
        label->setFrame(false);
        QPalette palette = label->palette();
        palette.setColor(QPalette::Base, Qt::black);
        palette.setColor(QPalette::Text, QColor(255, 255, 0));
        label->setPalette(palette);
        label->resize(TwipsToPixels(1155), TwipsToPixels(285));
        label->hide();
        label->raise();  // in front of the panes
        Text1[static_cast<std::size_t>(i)] = label;
    }

    // Keyboard order: the panes first, then the top band, then the labels.
    QList<QWidget*> order;
    for (auto* pane : WebBrowser1) order << pane;
    order << Combo1 << Command1 << Combo2 << Check1 << Command2 << Check2 << Check3;
    for (auto* label : Text1) order << label;
    for (qsizetype i = 1; i < order.size(); ++i) setTabOrder(order[i - 1], order[i]);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    Timer1->start();

    Panes panes{};
    for (int i = 0; i < kSiteCount; ++i) panes[static_cast<std::size_t>(i)] = pane(i);
    store_ = OpenUserSettingsStore();
    logic_ = std::make_unique<Form1Logic>(Form1Parts{*this, panes, store_.get(), &sound_,
                                                     beep ? beep : &beep_,
                                                     QCoreApplication::applicationDirPath()});

    auto* guard = new TypingEndGuard(Combo1);
    Combo1->lineEdit()->installEventFilter(guard);
    connect(Combo1, &QComboBox::activated, this, [this, guard] {
        if (!guard->typingEnded()) logic_->onRegionChosen();
    });
    connect(Command1, &QPushButton::clicked, this, [this] { logic_->onRefreshClicked(); });
    for (WebPane* pane : WebBrowser1)
        connect(pane, &WebPane::downloadComplete, this,
                [this](int index) { logic_->onDownloadComplete(index); });
    connect(Timer1, &QTimer::timeout, this, [this] { logic_->onTimerTick(); });
    connect(Command2, &QPushButton::clicked, this, [this] { logic_->onSavePositionsClicked(); });
    connect(Check3, &QCheckBox::clicked, this, [this] { logic_->onLabelToggle(); });
    for (WebPane* pane : WebBrowser1)
        connect(pane, &WebPane::newWindow2, this,
                [this](int index, bool* cancel) { logic_->onNewWindow(index, *cancel); });
}

Form1::~Form1() {
    // Closing the window still makes the controls speak; the logic must not hear them while
    // it goes away.
    for (QObject* child : children()) disconnect(child, nullptr, this, nullptr);
}

void Form1::startUp() {
    logic_->onLoad();
}

void Form1::shutDown() {
    if (shutDownDone_) return;
    shutDownDone_ = true;
    if (logic_->onUnload()) return;
    settingsSaved_ = false;
    std::fprintf(stderr, "Quintavia: the settings were not saved: %s\n",
                 qUtf8Printable(store_->lastError()));
}

void Form1::closeEvent(QCloseEvent* event) {
    shutDown();
    event->accept();  // closing is never refused
}

bool Form1::appendRegion(const QString& region) {
    // Appending to an empty list would select the new entry and overwrite the box's text.
    const QString text = Combo1->currentText();
    Combo1->addItem(region);
    Combo1->setEditText(text);
    return true;
}

QString Form1::regionText() const {
    return Combo1->currentText();
}

bool Form1::setRegionText(const QString& text) {
    Combo1->setEditText(text);
    return true;
}

int Form1::regionListIndex() const {
    return Combo1->currentIndex();
}

bool Form1::appendLogEntry(const QString& entry) {
    const QString text = Combo2->currentText();
    Combo2->addItem(entry);
    Combo2->setEditText(text);
    return true;
}

bool Form1::setLogText(const QString& text) {
    Combo2->setEditText(text);
    return true;
}

CheckBox3* Form1::check(CheckBox box) const {
    switch (box) {
        case CheckBox::Check1:
            return Check1;
        case CheckBox::Check2:
            return Check2;
        default:
            return Check3;
    }
}

int Form1::checkValue(CheckBox box) const {
    return check(box)->value();
}

bool Form1::setCheckValue(CheckBox box, int value) {
    return check(box)->setValue(value);
}

std::optional<WindowState> Form1::windowState() const {
    const Qt::WindowStates state = QWidget::windowState();
    if (state & Qt::WindowMinimized) return WindowState::Minimized;
    if (state & (Qt::WindowMaximized | Qt::WindowFullScreen)) return WindowState::Maximized;
    return WindowState::Normal;
}

float Form1::clientWidth() const {
    return PixelsToTwips(QWidget::width());
}

float Form1::clientHeight() const {
    return PixelsToTwips(QWidget::height());
}

QLineEdit* Form1::label(int index) const {
    return index >= 0 && index < kSiteCount ? Text1[static_cast<std::size_t>(index)] : nullptr;
}

bool Form1::setLabelTop(int index, float twips) {
    QLineEdit* text = label(index);
    if (!text) return false;
    text->move(text->x(), TwipsToPixels(twips));
    return true;
}

bool Form1::setLabelLeft(int index, float twips) {
    QLineEdit* text = label(index);
    if (!text) return false;
    text->move(TwipsToPixels(twips), text->y());
    return true;
}

bool Form1::setLabelVisible(int index, bool visible) {
    QLineEdit* text = label(index);
    if (!text) return false;
    text->setVisible(visible);
    // A shown label covers its pane's corner, whatever the engine did to the panes meanwhile.
    if (visible) text->raise();
    return true;
}

void Form1::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (logic_) logic_->onResize();
}

void Form1::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    // Minimizing and restoring keep the client area's size, so Qt sends no resize for them;
    // the grid is laid out again all the same.
    if (event->type() == QEvent::WindowStateChange && logic_) logic_->onResize();
}

}  // namespace quintavia
