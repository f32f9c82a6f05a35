// Picks the Russian or English member of a text pair. Reading LanguageManager.current here
// makes every binding that calls text() follow a change of the interface language.
pragma Singleton
import QtQuick

QtObject {
    function text(russian, english) {
        return LanguageManager.current === "english" ? english : russian
    }
}
