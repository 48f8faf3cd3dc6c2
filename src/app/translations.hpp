// Qt's own texts (file dialogs, the buttons of every box) in Japanese, as the rest of the
// window, whatever the desktop's language.
#pragma once

class QCoreApplication;

namespace kavelin::app {

// Installs Qt's Japanese translations on `app`; false when they are not installed, and the
// window then shows Qt's English texts.
bool InstallQtJapanese(QCoreApplication& app);

}  // namespace kavelin::app
