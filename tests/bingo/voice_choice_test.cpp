#include "bingo/voice_choice.h"

#include <gtest/gtest.h>

namespace {
const char* const kNoService = "Sin voz: no hay servicio de voz (paquete speech-dispatcher)";

TEST(VoiceChoice, TheSystemsSpanishVoiceComesFirst) {
  const VoiceChoice choice = ChooseVoice("", true);
  EXPECT_EQ(choice.source, VoiceSource::kSystem);
  EXPECT_EQ(choice.note, "Voz: la del sistema (español)");
}

TEST(VoiceChoice, TheRecordingsStandInWhereTheSystemHasNoSpanishVoice) {
  for (const char* why : {kNoService, "Sin voz: Windows no tiene ninguna voz en español instalada"}) {
    const VoiceChoice choice = ChooseVoice(why, true);
    EXPECT_EQ(choice.source, VoiceSource::kRecordings) << why;
    EXPECT_EQ(choice.note, "Voz: grabaciones de Tessarine (no hay voz del sistema en español)");
  }
}

TEST(VoiceChoice, WithoutEitherTheSwitchSaysWhyThereIsNoVoice) {
  const VoiceChoice choice = ChooseVoice(kNoService, false);
  EXPECT_EQ(choice.source, VoiceSource::kNone);
  EXPECT_EQ(choice.note, kNoService);
}
}  // namespace
