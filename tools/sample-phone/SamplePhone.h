// The sample phone's content: an Android-like shared storage tree for the demo and tests.
#pragma once

#include "SampleTree.h"

// Writes the whole phone into `tree`, which must be empty.
void writeSamplePhone(const SampleTree& tree);

// The parts, each in its own file.
void writeSamplePhotos(const SampleTree& tree);
void writeSampleDocuments(const SampleTree& tree);
void writeSampleMusic(const SampleTree& tree);
void writeSampleMovie(const SampleTree& tree);
void writeSystemFolders(const SampleTree& tree);
void writeNotesArchive(const SampleTree& tree);

// The folder of many small files and how many it holds.
inline constexpr const char* notesArchiveFolder = "Documents/Notes archive";
inline constexpr int notesArchiveSize = 5000;
