// Texts that name the user's computer. On macOS they say "Mac" / "macOS"; elsewhere the same
// sentences name the computer or its operating system, written out whole so that the Russian
// case forms are right.
#pragma once

#include "BilingualText.h"

#include <QList>

enum class HostNaming { mac, computer };

// The texts that name the host, by where they appear.
enum class HostPhrase {
    statisticsConsentMessage,   // the statistics consent question
    sameNetworkRequirement,     // the Wi-Fi connection method's hint
    insufficientStorageMessage, // the not-enough-space error: %1 required, %2 available
    wifiConnectionRequirements, // the Wi-Fi tab's requirements on the connection screen
    authorizeComputerStep,      // the debugging help's fourth USB step title
    downloadButton,             // the browser toolbar's Download button
    copyingToHost,              // the transfer progress title of a download
};

QList<HostPhrase> allHostPhrases();

// The naming in force: `mac` on macOS, `computer` elsewhere, unless a test chose otherwise.
HostNaming hostNaming();
void setHostNaming(HostNaming naming);

// The phrase's pair under the naming in force.
BilingualText hostText(HostPhrase phrase);
// The phrase's pair under a given naming.
BilingualText hostText(HostPhrase phrase, HostNaming naming);
