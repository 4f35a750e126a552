#include "CmdListTab.h"

#include "QtText.h"
#include "TabOrder.h"
#include "keyboard/CommandListStepper.h"
#include "macros/CommandList.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPointer>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace trelk {

namespace {

constexpr const char* EditHint = "Type commands on the top line, then press <enter>.";
constexpr const char* PickHint = "Select Command, double click to que to List, then press enter.";

constexpr const char* VoidlineCommands[] = {
    "/cargo",  "/mission",    "/lumacoroff", "/credits", "/bounty", "/exp", "/flashfire",
    "/bcu ",   "/registry ",  "/sector ",    "/away ",   "/give ",  "/gms", "/assist ",
    "/refer ", "/mentoroff ", "/ignore ",    "/hear ",   "/voice "};

QComboBox* PickList(const char* name, const QStringList& items, const QString& initial,
                    QWidget* parent) {
    auto* box = new QComboBox(parent);
    box->setObjectName(name);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->addItems(items);
    box->setCurrentIndex(static_cast<int>(items.indexOf(initial)));
    box->setToolTip(PickHint);
    return box;
}

QPushButton* Button(const char* name, const char* text, const char* hint, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setToolTip(hint);
    return button;
}

} // namespace

QStringList CmdListTab::HelpLines() {
    return {"Enter Voidline and Trelk commands into the Command List. ",
            "The commands may be retrieved in-game by pressing the ",
            "<Pause> key. Reverse through the list by holding <ScrollLock> ",
            "then pressing the <Pause> key.",
            "",
            "You can add commands to the list by typing them in directly or ",
            "by selecting a command from one of the drop-down lists below, ",
            "then pressing <enter>.",
            " "};
}

QString CmdListTab::HelpParagraphs() {
    // The lines were broken for another font and box: each paragraph's lines run on, so the
    // box wraps whole sentences at its own width; blank lines still part the paragraphs.
    QString text;
    bool paragraphOpen = false;
    for (const QString& line : HelpLines()) {
        if (line.trimmed().isEmpty()) {
            text += QStringLiteral("\n\n");
            paragraphOpen = false;
            continue;
        }
        if (paragraphOpen && !text.endsWith(QLatin1Char(' '))) {
            text += QLatin1Char(' ');
        }
        text += line;
        paragraphOpen = true;
    }
    return text.trimmed();
}

CmdListTab::CmdListTab(CommandList& commands, QWidget* parent)
    : QWidget(parent), commands_(commands) {
    setObjectName("CmdListTab");

    // A simple combo box: the edit line always above its list.
    cbCmdList = new QFrame(this);
    cbCmdList->setObjectName("cbCmdList");
    cbCmdList->setToolTip(EditHint);
    cbCmdListEdit = new QLineEdit(cbCmdList);
    cbCmdListEdit->setObjectName("cbCmdListEdit");
    cbCmdListEdit->setToolTip(EditHint);
    // The program's text is single-byte: a character outside it could never be typed.
    cbCmdListEdit->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[\\x{0000}-\\x{00FF}]*")), cbCmdListEdit));
    cbCmdListEdit->installEventFilter(this);
    cbCmdListItems = new QListWidget(cbCmdList);
    cbCmdListItems->setObjectName("cbCmdListItems");
    cbCmdListItems->setToolTip(EditHint);
    cbCmdListItems->setFocusPolicy(Qt::NoFocus);
    cbCmdListItems->setSelectionMode(QAbstractItemView::SingleSelection);
    auto* comboLayout = new QVBoxLayout(cbCmdList);
    comboLayout->setContentsMargins(0, 0, 0, 0);
    comboLayout->setSpacing(1);
    comboLayout->addWidget(cbCmdListEdit);
    comboLayout->addWidget(cbCmdListItems, 1);

    bClearCmdList = Button("bClearCmdList", "Clear", "Clear Command List", this);
    bCancelCommand = Button("bCancelCommand", "Cancel", "Cancel All Command List Changes", this);
    bSaveCommands = Button("bSaveCommands", "Save", "Save All Command List Changes", this);
    lblSaveNote = new QLabel(
        "Changes On this Page will NOT take affect until the Save button is pressed.", this);
    lblSaveNote->setObjectName("lblSaveNote");
    lblSaveNote->setStyleSheet("color: red;");
    lblSaveNote->setWordWrap(true);

    QStringList builtin;
    for (const char* command : BuiltinCommandList) {
        builtin << command;
    }
    QStringList examples;
    for (const char* command : VoidlineCommands) {
        examples << command;
    }
    cbTRLCmdList = PickList("cbTRLCmdList", builtin, "//timeon", this);
    cbVLCmdList = PickList("cbVLCmdList", examples, "/cargo", this);
    for (QComboBox* box : {cbTRLCmdList, cbVLCmdList}) {
        box->installEventFilter(this);
        box->lineEdit()->installEventFilter(this);
    }

    memCmdListHelp = new QPlainTextEdit(this);
    memCmdListHelp->setObjectName("memCmdListHelp");
    memCmdListHelp->setReadOnly(true);
    memCmdListHelp->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memCmdListHelp->setPlainText(HelpParagraphs());

    auto* left = new QVBoxLayout;
    auto* listLabel = new QLabel("Command List", this);
    listLabel->setBuddy(cbCmdListEdit);
    left->addWidget(listLabel);
    left->addWidget(cbCmdList, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(bClearCmdList);
    buttons->addWidget(bCancelCommand);
    buttons->addWidget(bSaveCommands);
    left->addLayout(buttons);
    left->addWidget(lblSaveNote);

    auto* right = new QVBoxLayout;
    right->addWidget(memCmdListHelp, 1);
    auto* picks = new QGridLayout;
    picks->addWidget(new QLabel("Trelk Commands", this), 0, 0);
    picks->addWidget(new QLabel("Example Voidline Commands", this), 0, 1);
    picks->addWidget(cbTRLCmdList, 1, 0);
    picks->addWidget(cbVLCmdList, 1, 1);
    right->addLayout(picks);

    auto* layout = new QHBoxLayout(this);
    // Commands are short; the instruction lines are not.
    layout->addLayout(left, 2);
    layout->addLayout(right, 3);

    // The list and its buttons, the lists to pick from, then the help to read.
    ChainTabOrder(this, {"cbCmdListEdit", "bClearCmdList", "bCancelCommand", "bSaveCommands",
                         "cbTRLCmdList", "cbVLCmdList", "memCmdListHelp"});

    connect(cbCmdListEdit, &QLineEdit::returnPressed, this, [this] { cbCmdListEnter(); });
    // Typing ends the choice of a list entry, so Delete removes only what was picked.
    connect(cbCmdListEdit, &QLineEdit::textEdited, this, [this] { unselect(); });
    connect(cbCmdListItems, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        cbCmdListEdit->setText(item->text());
        cbCmdListEdit->setFocus();
    });
    connect(bClearCmdList, &QPushButton::clicked, this, [this] { commands_.Clear(); });
    connect(bCancelCommand, &QPushButton::clicked, this, [this] { commands_.Load(); });
    connect(bSaveCommands, &QPushButton::clicked, this, [this] { commands_.Save(); });

    // The list may outlive the tab.
    QPointer<CmdListTab> self(this);
    commands_.addView([self] {
        if (self) {
            self->refresh();
        }
    });
    refresh();
}

void CmdListTab::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    commands_.Load();
}

bool CmdListTab::eventFilter(QObject* watched, QEvent* event) {
    if (watched == cbCmdListEdit && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Delete) {
            cbCmdListDelete();
            return true;
        }
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            // As in a simple combo box: the arrows walk the list and put the entry on the edit
            // line.
            const int row = CommandList::ArrowRow(cbCmdListItems->currentRow(),
                                                  cbCmdListItems->count(), key == Qt::Key_Up);
            if (row >= 0) {
                cbCmdListItems->setCurrentRow(row);
                cbCmdListEdit->setText(cbCmdListItems->item(row)->text());
            }
            return true;
        }
        return false;
    }
    QComboBox* box = pickListOf(watched);
    if (box == nullptr) {
        return false;
    }
    if (event->type() == QEvent::MouseButtonDblClick) {
        queuePick(box);
        return true;
    }
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        // Character keys queue the command; arrows still walk the pick list, Tab still moves on.
        if (!key->text().isEmpty() && key->key() != Qt::Key_Tab && key->key() != Qt::Key_Backtab) {
            queuePick(box);
            return true;
        }
    }
    return false;
}

QComboBox* CmdListTab::pickListOf(QObject* watched) const {
    for (QComboBox* box : {cbTRLCmdList, cbVLCmdList}) {
        if (watched == box || watched == box->lineEdit()) {
            return box;
        }
    }
    return nullptr;
}

void CmdListTab::refresh() {
    cbCmdListItems->clear();
    for (const std::string& entry : commands_.Entries()) {
        cbCmdListItems->addItem(toQt(entry));
    }
    unselect();
}

void CmdListTab::unselect() {
    cbCmdListItems->setCurrentRow(-1);
    cbCmdListItems->clearSelection();
}

void CmdListTab::cbCmdListEnter() {
    // A refused entry stays on the edit line to be corrected.
    const CommandList::EntryResult result = commands_.AppendEntry(fromQt(cbCmdListEdit->text()));
    const QString editText = toQt(result.editText);
    if (cbCmdListEdit->text() != editText) {
        cbCmdListEdit->setText(editText);
    }
    if (result.added) {
        cbCmdListItems->scrollToBottom();
    }
}

void CmdListTab::cbCmdListDelete() {
    const QList<QListWidgetItem*> selected = cbCmdListItems->selectedItems();
    if (!selected.isEmpty()) {
        commands_.DeleteEntry(cbCmdListItems->row(selected.front()));
    }
    cbCmdListEdit->clear();
}

void CmdListTab::queuePick(QComboBox* box) {
    cbCmdListEdit->setText(box->currentText());
    unselect();
    cbCmdListEdit->setFocus();
}

} // namespace trelk
