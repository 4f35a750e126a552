#pragma once

// Finds texts a window cuts short: a label, button, check box, radio button or group box title
// wider (or taller) than the widget that shows it, a widget reaching past its parent, or a line
// of a hand-laid-out text wider than its view.

#include "gui/ElidedLabel.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOption>
#include <QToolButton>
#include <QWidget>
#include <string>
#include <vector>

namespace trelk::guitest {

inline QString WithoutMnemonic(QString text) {
    return text.replace(QStringLiteral("&&"), QStringLiteral("\x01"))
        .remove(QLatin1Char('&'))
        .replace(QLatin1Char('\x01'), QLatin1Char('&'));
}

inline QString Describe(const QWidget* widget, const QString& text) {
    const QString name = widget->objectName().isEmpty()
                             ? QString::fromLatin1(widget->metaObject()->className())
                             : widget->objectName();
    return name + QStringLiteral(" \"") + text + QStringLiteral("\"");
}

// The widest line of the text as the widget's font draws it.
inline int TextWidth(const QWidget* widget, const QString& text) {
    const QFontMetrics metrics(widget->font());
    int width = 0;
    for (const QString& line : WithoutMnemonic(text).split(QLatin1Char('\n'))) {
        width = std::max(width, metrics.horizontalAdvance(line));
    }
    return width;
}

// The width the style leaves for the text inside the widget, as it lays out its drawing.
inline int TextRoom(QWidget* widget) {
    const QStyle* style = widget->style();
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        option.icon = button->icon();
        option.iconSize = button->iconSize();
        QStyle::SubElement contents = QStyle::SE_PushButtonContents;
        if (qobject_cast<QCheckBox*>(widget) != nullptr) {
            contents = QStyle::SE_CheckBoxContents;
        } else if (qobject_cast<QRadioButton*>(widget) != nullptr) {
            contents = QStyle::SE_RadioButtonContents;
        }
        int room = style->subElementRect(contents, &option, widget).width();
        if (contents == QStyle::SE_PushButtonContents && !button->icon().isNull()) {
            room -= button->iconSize().width() + 4;
        }
        return room;
    }
    if (qobject_cast<QGroupBox*>(widget) != nullptr) {
        // The title sits inside the frame, indented from its corner.
        return widget->width() -
               2 * style->pixelMetric(QStyle::PM_LayoutLeftMargin, nullptr, widget);
    }
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        const int margin = label->margin() + std::max(label->indent(), 0);
        return label->contentsRect().width() - 2 * margin;
    }
    return widget->width();
}

// Widgets placed by hand (a parent without a layout) that cover one another.
inline void CollectOverlaps(QWidget* root, std::vector<std::string>& clipped) {
    QList<QWidget*> parents = root->findChildren<QWidget*>();
    parents.append(root);
    for (QWidget* parent : parents) {
        if (parent->layout() != nullptr) {
            continue;
        }
        const QList<QWidget*> placed =
            parent->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
        for (qsizetype i = 0; i < placed.size(); ++i) {
            for (qsizetype j = i + 1; j < placed.size(); ++j) {
                if (placed[i]->isVisibleTo(root) && placed[j]->isVisibleTo(root) &&
                    placed[i]->geometry().intersects(placed[j]->geometry())) {
                    clipped.push_back(placed[i]->objectName().toStdString() + " and " +
                                      placed[j]->objectName().toStdString() + " overlap");
                }
            }
        }
    }
}

// A read-only text in a fixed-pitch font is laid out by hand, line by line: a line wider than the
// view wraps in mid-sentence or hides its end.
inline void CollectWrappedLines(QWidget* root, std::vector<std::string>& clipped) {
    for (const QPlainTextEdit* view : root->findChildren<QPlainTextEdit*>()) {
        if (!view->isVisibleTo(root) || !view->isReadOnly() ||
            !QFontInfo(view->font()).fixedPitch()) {
            continue;
        }
        const QFontMetrics metrics(view->font());
        const int room =
            view->viewport()->width() - 2 * static_cast<int>(view->document()->documentMargin());
        for (const QString& line : view->toPlainText().split(QLatin1Char('\n'))) {
            if (metrics.horizontalAdvance(line) > room) {
                clipped.push_back(Describe(view, line).toStdString() + " is wider than the view");
            }
        }
    }
}

inline void CollectClipped(QWidget* root, std::vector<std::string>& clipped) {
    CollectOverlaps(root, clipped);
    CollectWrappedLines(root, clipped);
    for (QWidget* widget : root->findChildren<QWidget*>()) {
        if (!widget->isVisibleTo(root) || widget->width() <= 0 ||
            widget->property(ElidedLabel::ElidesProperty).toBool()) {
            continue;
        }
        QString text;
        if (const auto* label = qobject_cast<const QLabel*>(widget)) {
            text = label->text();
            if (label->textFormat() == Qt::RichText || Qt::mightBeRichText(text)) {
                // Rich text wraps by its own rules: its layout must fit the height it got.
                if (label->heightForWidth(label->width()) > label->height()) {
                    clipped.push_back(Describe(widget, text).toStdString() +
                                      " is cut at the bottom");
                }
                continue;
            }
            if (label->wordWrap()) {
                if (label->heightForWidth(label->width()) > label->height()) {
                    clipped.push_back(Describe(widget, text).toStdString() +
                                      " wraps to more lines than its height holds");
                }
                continue;
            }
        } else if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) {
            text = button->text();
        } else if (const auto* group = qobject_cast<const QGroupBox*>(widget)) {
            text = group->title();
        } else {
            continue;
        }
        if (text.isEmpty()) {
            continue;
        }
        const int needed = TextWidth(widget, text);
        const int room = TextRoom(widget);
        if (needed > room) {
            clipped.push_back(Describe(widget, text).toStdString() + " needs " +
                              std::to_string(needed) + " px, has " + std::to_string(room));
        }
        const int lines = static_cast<int>(text.count(QLatin1Char('\n'))) + 1;
        if (QFontMetrics(widget->font()).height() * lines > widget->height() + 2) {
            clipped.push_back(Describe(widget, text).toStdString() + " is taller than its widget");
        }
        // A widget reaching past its parent is cut by it.
        if (QWidget* parent = widget->parentWidget();
            parent != nullptr && !parent->rect().contains(widget->geometry())) {
            clipped.push_back(Describe(widget, text).toStdString() + " reaches past its parent " +
                              parent->objectName().toStdString());
        }
    }
}

} // namespace trelk::guitest
