// Texts naming the host: exact on macOS, naming the computer in correct Russian elsewhere,
// selected by one switch.
#include "HostNaming.h"

#include <gtest/gtest.h>

namespace {

struct HostNamingRestore {
    HostNaming saved = hostNaming();
    ~HostNamingRestore() { setHostNaming(saved); }
};

} // namespace

TEST(HostNaming, thisSystemNamesTheComputer) {
#ifdef Q_OS_MACOS
    EXPECT_EQ(hostNaming(), HostNaming::mac);
#else
    EXPECT_EQ(hostNaming(), HostNaming::computer);
#endif
}

TEST(HostNaming, pairsUnderEachNaming) {
    struct Case {
        HostPhrase phrase;
        BilingualText onMac;
        BilingualText onComputer;
    };
    const Case cases[] = {
        {HostPhrase::copyingToHost,
         {"Копирование на Mac", "Copying to Mac"},
         {"Копирование на компьютер", "Copying to computer"}},
        // Direction: accusative "на компьютер".
        {HostPhrase::downloadButton, {"На Mac", "Download"}, {"На компьютер", "Download"}},
        // Location: prepositional "на компьютере".
        {HostPhrase::insufficientStorageMessage,
         {"На Mac недостаточно места. Требуется %1, доступно %2.",
          "There is not enough space on the Mac. %1 is required, %2 is available."},
         {"На компьютере недостаточно места. Требуется %1, доступно %2.",
          "There is not enough space on the computer. %1 is required, %2 is available."}},
        {HostPhrase::sameNetworkRequirement,
         {"Устройство и Mac должны находиться в одной сети",
          "The device and Mac must be on the same network"},
         {"Устройство и компьютер должны находиться в одной сети",
          "The device and computer must be on the same network"}},
        // The Russian title never named the host.
        {HostPhrase::authorizeComputerStep,
         {"Подключите и разрешите доступ", "Connect and authorize the Mac"},
         {"Подключите и разрешите доступ", "Connect and authorize the computer"}},
    };
    HostNamingRestore restore;
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.phrase));
        EXPECT_EQ(hostText(c.phrase, HostNaming::mac), c.onMac);
        EXPECT_EQ(hostText(c.phrase, HostNaming::computer), c.onComputer);
        setHostNaming(HostNaming::mac);
        EXPECT_EQ(hostText(c.phrase), c.onMac);
        setHostNaming(HostNaming::computer);
        EXPECT_EQ(hostText(c.phrase), c.onComputer);
    }
}

TEST(HostNaming, everyPhraseNamesTheMacOnlyUnderMacNaming) {
    const auto namesMac = [](const QString& text) {
        return text.contains(QStringLiteral("Mac")) || text.contains(QStringLiteral("macOS"));
    };
    for (HostPhrase phrase : allHostPhrases()) {
        SCOPED_TRACE(static_cast<int>(phrase));
        const BilingualText mac = hostText(phrase, HostNaming::mac);
        const BilingualText computer = hostText(phrase, HostNaming::computer);
        EXPECT_TRUE(namesMac(mac.russian) || namesMac(mac.english));
        EXPECT_FALSE(namesMac(computer.russian) || namesMac(computer.english));
        EXPECT_FALSE(computer.russian.isEmpty() || computer.english.isEmpty());
        EXPECT_NE(mac, computer);
    }
}

TEST(HostNaming, wifiRequirementsKeepTheNonBreakingHyphenInRussian) {
    for (HostNaming naming : {HostNaming::mac, HostNaming::computer}) {
        const BilingualText text = hostText(HostPhrase::wifiConnectionRequirements, naming);
        EXPECT_TRUE(text.russian.contains(QStringLiteral("Wi\u2011Fi-сети")));
        EXPECT_TRUE(text.english.contains(QStringLiteral("same Wi-Fi network")));
    }
    EXPECT_TRUE(hostText(HostPhrase::wifiConnectionRequirements, HostNaming::computer)
                    .russian.contains(QStringLiteral("Компьютер и телефон")));
}
