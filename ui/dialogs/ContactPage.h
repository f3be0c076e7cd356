#pragma once
// The page of the professional engineer and the authorized agent (name, address
// and phone each), shared by the project dialog and the preferences dialog. The
// PE comes first, so the agent's phone is the last field of the page and Enter
// moves on from it to the next page.

class QLineEdit;
class QWidget;

namespace corvalt::ui {

struct TContactPage {
    QWidget* Page = nullptr;
    QLineEdit* PeName = nullptr; // "ePeName", and so on
    QLineEdit* PeAddress = nullptr;
    QLineEdit* PePhone = nullptr;
    QLineEdit* AgentName = nullptr;
    QLineEdit* AgentAddress = nullptr;
    QLineEdit* AgentPhone = nullptr;
};

TContactPage CreateContactPage();

} // namespace corvalt::ui
