#include "comm/chat.h"

#include "comm/chatcdata.h"
#include "comm/chatnotif.h"
#include "comm/chattable.h"
#include "core/globalmutex.h"
#include "members/memberinfo.h"
#include "shell/askbox.h"
#include "shell/checktimer.h"
#include "shell/mainwindow.h"
#include "ui_chat.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTabBar>
#include <QTimer>

void Chat::ShowChat()
{
    if (m_firstShow) {
        resize(m_defaultWidth, m_defaultHeight);
        if (const QScreen *screen = QGuiApplication::primaryScreen())
            move(screen->geometry().center() - rect().center());
        m_firstShow = false;
    }
    layoutbtnproc();
    const int tab = m_ui->tabWidget->currentIndex();
    if (tab == 0)
        FillUserTree();
    if (isMinimized())
        showNormal();
    else
        show();
    m_table[tab == 1 ? 1 : 0]->FitAllRows();
    m_notif->hide();
    if (tab == 0 && m_lastRc >= 1) {
        m_table[0]->setCurrentCell(m_lastRc, 0);
        m_table[0]->ScrollTo(GetObj<QTableWidgetItem>(RegSlot::ObjChatChangedItem));
        ChatRefresh();
    } else if (tab == 1 || m_lastRc == -1 || m_lastRc == -2) {
        QTimer::singleShot(200, this, &Chat::SetLastPos);
    }
}

void Chat::FillUserTree()
{
    m_filling = true;
    m_ui->USER->clear();
    m_seen.clear();
    m_seen.insert(GetStrVar(RegSlot::StrUserEmail)); // the user is no recipient of their own
    auto *top = new QTreeWidgetItem(m_ui->USER);
    top->setText(0, tr("ALL member"));
    top->setFlags(top->flags() | Qt::ItemIsUserCheckable | Qt::ItemIsEnabled);
    m_ignoreNext = true;
    top->setCheckState(0, Qt::Checked);
    if (const auto *table = GetObj<MemberTable>(RegSlot::ObjMemberTable)) {
        for (const MemberInfo *member : *table) {
            if (member->Deleted || !member->Email.contains(QLatin1Char('@')))
                continue;
            if (member->OtherUser == 0) {
                m_ownName = member->Name;
                continue;
            }
            if (m_seen.contains(member->Email))
                continue;
            m_seen.insert(member->Email);
            auto *child = new QTreeWidgetItem(top);
            child->setText(0, member->Name);
            child->setData(0, Qt::UserRole, member->ID);
            child->setText(1, member->Email);
            child->setFlags(child->flags() | Qt::ItemIsUserCheckable | Qt::ItemIsEnabled);
            m_ignoreNext = true;
            child->setCheckState(0, Qt::Checked);
        }
    }
    top->setExpanded(true);
    TreeColumnAdjustment(m_ui->USER);
    m_ignoreNext = false;
    m_filling = false;
}

void Chat::CheckRecipients(const ChatRecord *message)
{
    QTreeWidgetItem *top = m_ui->USER->topLevelItem(0);
    if (!top || !message)
        return;
    QSet<QString> accounts;
    {
        MutexHold chat(MutexNo::Chat);
        accounts.insert(message->Account);
        if (const ChatDay *day = message->Day) {
            for (int number : message->Recipients)
                accounts.insert(day->Users.value(number).Account);
        }
    }
    m_filling = true;
    top->setCheckState(0, Qt::Unchecked);
    for (int i = 0; i < top->childCount(); ++i) {
        QTreeWidgetItem *child = top->child(i);
        child->setDisabled(false);
        child->setCheckState(0, accounts.contains(child->text(1)) ? Qt::Checked : Qt::Unchecked);
    }
    m_filling = false;
}

void Chat::CheckChanged(QTreeWidgetItem *item, int column)
{
    if (m_filling || column != 0)
        return;
    if (m_ignoreNext) {
        m_ignoreNext = false;
        return;
    }
    QTreeWidgetItem *top = m_ui->USER->topLevelItem(0);
    if (!top)
        return;
    const bool checked = item->checkState(0) == Qt::Checked;
    if (item == top) {
        if (checked) {
            for (int i = 0; i < top->childCount(); ++i) {
                QTreeWidgetItem *child = top->child(i);
                const bool addressable = child->text(1).contains(QLatin1Char('@'));
                m_ignoreNext = true;
                child->setCheckState(0, addressable ? Qt::Checked : Qt::Unchecked);
                m_ignoreNext = true;
                child->setDisabled(!addressable);
            }
            m_ignoreNext = false;
        } else if (m_parentByChild) {
            m_parentByChild = false;
        } else {
            for (int i = 0; i < top->childCount(); ++i) {
                m_ignoreNext = true;
                top->child(i)->setCheckState(0, Qt::Unchecked);
            }
            m_ignoreNext = false;
        }
        return;
    }
    if (!checked && !item->isDisabled() && top->checkState(0) == Qt::Checked) {
        m_parentByChild = true;
        top->setCheckState(0, Qt::Unchecked);
    }
}

void Chat::CalendarProc(const QDate &date)
{
    m_chosenDate = date;
    m_ui->MSG->clear();
    if (date >= QDate::currentDate()) {
        m_ui->MSG->setStyleSheet(QStringLiteral("color: #FF0000"));
        m_ui->MSG->setText(tr("date is over today"));
        return;
    }
    if (date != m_shownDate) {
        m_ui->SELECT->setStyleSheet(QStringLiteral("background-color: #007a00; color: #FFF100"));
        m_ui->MSG->setStyleSheet(QStringLiteral("color: #000000"));
        m_ui->MSG->setText(tr("change date"));
    } else {
        m_ui->SELECT->setStyleSheet(QStringLiteral("background-color: #007a00; color: #FFFFFF"));
        m_ui->MSG->setStyleSheet(QStringLiteral("color: #0000FF"));
        m_ui->MSG->setText(tr("message is") + QString::number(m_shownCount) + tr("cases"));
    }
    m_ui->DATE->setText(date.toString(tr("yyyy/MM/dd")));
}

void Chat::SelectProc(bool)
{
    m_ui->MSG->clear();
    if (m_ui->DATE->text().isEmpty() || !m_chosenDate.isValid()) {
        m_ui->MSG->setStyleSheet(QStringLiteral("color: #FF0000"));
        m_ui->MSG->setText(tr("date is not select"));
        return;
    }
    if (m_chosenDate >= QDate::currentDate()) {
        m_ui->MSG->setStyleSheet(QStringLiteral("color: #FF0000"));
        m_ui->MSG->setText(tr("date is over today"));
        return;
    }
    if (m_chosenDate != m_shownDate) {
        m_shownCount = LoadDateChat(m_chosenDate);
        m_shownDate = m_chosenDate;
        if (auto *timer = GetObj<CheckTimer>(RegSlot::ObjCheckTimer))
            timer->PostMessage(MsgCode::ChatShowLastPos);
        else
            ShowLastPos();
    }
    m_ui->SELECT->setStyleSheet(QStringLiteral("background-color: #007a00; color: #FFFFFF"));
    m_ui->MSG->setStyleSheet(QStringLiteral("color: #0000FF"));
    m_ui->MSG->setText(tr("message is") + QString::number(m_shownCount) + tr("cases"));
}

void Chat::layoutbtnproc()
{
    const int width = m_ui->splitter->width();
    const int height = m_ui->splitter_2->height();
    m_ui->splitter->setSizes({width / 2, width - width / 2});
    m_ui->splitter_2->setSizes({height - height / 3, height / 3});
    m_ui->splitter_4->setSizes({height - height / 3, height / 3});
    if (m_ui->tabWidget->currentIndex() == 1) {
        const int width2 = m_ui->splitter_3->width();
        m_ui->splitter_3->setSizes({width2 / 2, width2 - width2 / 2});
    }
}

void Chat::setColumnWidth(ChatTable *table)
{
    table->setColumnWidth(0, width() / 2 - 1);
}

void Chat::TabChanged(int index)
{
    m_tabBar->setTabTextColor(index, QColor("#FFFFFF"));
    if (m_prevTab != index)
        m_tabBar->setTabTextColor(m_prevTab, QColor("#00dd00"));
    layoutbtnproc();
    ChatTable *table = m_table[index == 1 ? 1 : 0];
    setColumnWidth(table);
    table->FitAllRows();
    m_prevTab = index;
}

void Chat::resizeEvent(QResizeEvent *event)
{
    setColumnWidth(m_table[m_ui->tabWidget->currentIndex() == 1 ? 1 : 0]);
    QDialog::resizeEvent(event);
}

// The store is emptied at close, so what a full disk kept from the day files is gone now: the
// user hears it before the program (or the workspace) closes, with the files to look at.
void Chat::tellUnsaved(const QStringList &files, int count, const QString &reason)
{
    qWarning("chat: %d own record(s) not written at close: %s", count,
             qPrintable(files.join(QLatin1Char(' '))));
    QString text;
    if (count == 1)
        text = tr("1 chat message could not be saved and is lost.");
    else if (count > 1)
        text = tr("%1 chat messages could not be saved and are lost.").arg(count);
    else
        text = tr("Chat changes could not be saved and are lost.");
    QMessageBox box(GetObj<MainWindow>(RegSlot::ObjMainWindow));
    box.setWindowTitle(tr("Chat not saved"));
    box.setWindowIcon(GetLogoIcon());
    box.setIcon(QMessageBox::Warning);
    box.setText(text + QLatin1Char('\n') + tr("Day files not written:") + QLatin1Char('\n') +
                files.join(QLatin1Char('\n')) + (reason.isEmpty() ? QString() : QLatin1Char('\n') + reason));
    AskBox::Button(box, "ok", QMessageBox::Ok);
    box.exec();
}

// A note names its day file by the whole path, over a hundred characters in a workspace under a
// temporary folder: begun with it, the line shows a red path and not why. It begins with the note
// as the file's name says it; the whole of it follows, and is the tooltip.
QString Chat::lineText(const QString &text) const
{
    if (GetStrVar(RegSlot::StrInstanceDir).isEmpty())
        return text;
    const QString folder = m_store[0]->ChatFolder();
    if (!text.contains(folder))
        return text;
    QString named = text;
    named.remove(folder);
    return named + QStringLiteral(" \u2014 ") + text;
}

void Chat::setLine(QLineEdit *line, const QString &color, const QString &text)
{
    line->setStyleSheet(QStringLiteral("color: ") + color);
    line->setText(lineText(text));
    // After the text: its change set the tooltip to the line's own text.
    if (!text.isEmpty())
        line->setToolTip(QStringLiteral("<p>") + text.toHtmlEscaped() + QStringLiteral("</p>"));
}
