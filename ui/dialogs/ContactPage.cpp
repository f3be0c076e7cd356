#include "ui/dialogs/ContactPage.h"

#include "ui/widgets/EnterAsTab.h"
#include "ui/widgets/FormWidgets.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace corvalt::ui {
namespace {

QGroupBox* PersonGroup(const QString& title, const QString& hint, QLineEdit* name,
                       QLineEdit* address, QLineEdit* phone) {
    auto* group = new QGroupBox(title);
    SetHint(*group, hint);
    SetHint(*address, QString::fromLatin1(kAddressHint));
    auto* form = new QFormLayout(group);
    form->addRow(BuddyLabel(QStringLiteral("Name"), name), name);
    form->addRow(BuddyLabel(QStringLiteral("Address"), address), address);
    form->addRow(BuddyLabel(QStringLiteral("Phone"), phone), phone);
    return group;
}

} // namespace

TContactPage CreateContactPage() {
    TContactPage contacts;
    contacts.PeName = TextField("ePeName");
    contacts.PeAddress = TextField("ePeAddress");
    contacts.PePhone = TextField("ePePhone");
    contacts.AgentName = TextField("eAgentName");
    contacts.AgentAddress = TextField("eAgentAddress");
    contacts.AgentPhone = TextField("eAgentPhone");
    TEnterAsTab::MarkLastOfPage(*contacts.AgentPhone);
    contacts.Page = new QWidget;
    auto* layout = new QVBoxLayout(contacts.Page);
    layout->addWidget(NoteLabel(QString::fromLatin1(kLineBreakNote)));
    layout->addWidget(PersonGroup(QStringLiteral("Professional Engineer (PE)"),
                                  QStringLiteral("Document PE's Information"), contacts.PeName,
                                  contacts.PeAddress, contacts.PePhone));
    layout->addWidget(PersonGroup(QStringLiteral("Authorized Agent"),
                                  QStringLiteral("Document Authorized Agents Information"),
                                  contacts.AgentName, contacts.AgentAddress, contacts.AgentPhone));
    layout->addStretch(1);
    return contacts;
}

} // namespace corvalt::ui
