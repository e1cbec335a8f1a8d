// The program's own recordings of the numbers (bingo/voz), embedded in tessarine-bingo.exe
// as RCDATA resources whose id is the number, played from memory by PlaySound (winmm).
#pragma once
#include <string>

// Whether the program carries its recordings.
bool RecordingsEmbedded();
// Starts saying the number and returns at once, a number said before cut short; "" when
// it plays, else why not.
std::string PlayRecording(int number);
// Stops whatever recording is playing.
void StopRecording();
