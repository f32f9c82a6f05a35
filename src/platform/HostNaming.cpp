#include "HostNaming.h"

namespace {

struct HostPhrasePairs {
    HostPhrase phrase;
    BilingualText onMac;
    BilingualText onComputer;
};

// Russian needs a different case of "компьютер" in each phrase (на компьютере, на компьютер),
// so every pair is written whole rather than assembled from a host name.
const HostPhrasePairs phrasePairs[] = {
    {HostPhrase::statisticsConsentMessage,
     {QStringLiteral("Pavrel может отправлять анонимную статистику: страну и регион, версии "
                     "приложения и macOS и то, какими функциями вы пользуетесь. Идентификаторы, "
                     "имена файлов, содержимое, пути и данные Android-устройства не передаются. "
                     "Изменить выбор можно в настройках."),
      QStringLiteral("Pavrel can send anonymous statistics: your country and region, app and "
                     "macOS versions, and which features you use. Identifiers, file names, "
                     "contents, paths and Android device data are never sent. You can change "
                     "this in Settings.")},
     {QStringLiteral("Pavrel может отправлять анонимную статистику: страну и регион, версии "
                     "приложения и операционной системы и то, какими функциями вы пользуетесь. "
                     "Идентификаторы, имена файлов, содержимое, пути и данные Android-устройства "
                     "не передаются. Изменить выбор можно в настройках."),
      QStringLiteral("Pavrel can send anonymous statistics: your country and region, app and "
                     "operating system versions, and which features you use. Identifiers, file "
                     "names, contents, paths and Android device data are never sent. You can "
                     "change this in Settings.")}},
    {HostPhrase::sameNetworkRequirement,
     {QStringLiteral("Устройство и Mac должны находиться в одной сети"),
      QStringLiteral("The device and Mac must be on the same network")},
     {QStringLiteral("Устройство и компьютер должны находиться в одной сети"),
      QStringLiteral("The device and computer must be on the same network")}},
    {HostPhrase::insufficientStorageMessage,
     {QStringLiteral("На Mac недостаточно места. Требуется %1, доступно %2."),
      QStringLiteral("There is not enough space on the Mac. %1 is required, %2 is available.")},
     {QStringLiteral("На компьютере недостаточно места. Требуется %1, доступно %2."),
      QStringLiteral(
          "There is not enough space on the computer. %1 is required, %2 is available.")}},
    {HostPhrase::wifiConnectionRequirements,
     {QStringLiteral("Требуется Android 11 или новее. Mac и телефон должны находиться в одной "
                     "Wi\u2011Fi-сети. Для первого подключения понадобится USB-кабель."),
      QStringLiteral("Android 11 or newer is required. Your Mac and phone must be on the same "
                     "Wi-Fi network. A USB cable is needed for the first connection.")},
     {QStringLiteral("Требуется Android 11 или новее. Компьютер и телефон должны находиться в "
                     "одной Wi\u2011Fi-сети. Для первого подключения понадобится USB-кабель."),
      QStringLiteral("Android 11 or newer is required. Your computer and phone must be on the "
                     "same Wi-Fi network. A USB cable is needed for the first connection.")}},
    {HostPhrase::authorizeComputerStep,
     {QStringLiteral("Подключите и разрешите доступ"),
      QStringLiteral("Connect and authorize the Mac")},
     {QStringLiteral("Подключите и разрешите доступ"),
      QStringLiteral("Connect and authorize the computer")}},
    {HostPhrase::downloadButton,
     {QStringLiteral("На Mac"), QStringLiteral("Download")},
     {QStringLiteral("На компьютер"), QStringLiteral("Download")}},
    {HostPhrase::copyingToHost,
     {QStringLiteral("Копирование на Mac"), QStringLiteral("Copying to Mac")},
     {QStringLiteral("Копирование на компьютер"), QStringLiteral("Copying to computer")}},
};

HostNaming platformHostNaming() {
#ifdef Q_OS_MACOS
    return HostNaming::mac;
#else
    return HostNaming::computer;
#endif
}

HostNaming currentNaming = platformHostNaming();

} // namespace

QList<HostPhrase> allHostPhrases() {
    QList<HostPhrase> phrases;
    for (const HostPhrasePairs& pairs : phrasePairs)
        phrases.append(pairs.phrase);
    return phrases;
}

HostNaming hostNaming() {
    return currentNaming;
}

void setHostNaming(HostNaming naming) {
    currentNaming = naming;
}

BilingualText hostText(HostPhrase phrase) {
    return hostText(phrase, currentNaming);
}

BilingualText hostText(HostPhrase phrase, HostNaming naming) {
    for (const HostPhrasePairs& pairs : phrasePairs) {
        if (pairs.phrase == phrase)
            return naming == HostNaming::mac ? pairs.onMac : pairs.onComputer;
    }
    return {};
}
