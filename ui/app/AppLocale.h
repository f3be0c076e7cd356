#pragma once
// Numbers with "." as decimal point whatever the user's locale: QApplication sets
// the C library's locale from the environment, under which printf would write
// "1,50" and strtod read "1.5" as 1. Call once, right after creating the
// application object (the program and every window test do).

namespace corvalt::ui {

void UseCNumberFormat();

} // namespace corvalt::ui
