#include "bench/page_snapshot.h"

#include <string>

std::shared_ptr<const PageState> BenchSnapshot(uint64_t number) {
  std::string called;
  for (int ball = 1; ball <= 40; ++ball) called += (ball > 1 ? "," : "") + std::to_string(ball * 2);
  const std::string fields =
      "\"partida\":\"1733775240000-3b0c91ae04f2\",\"hay\":true,\"ultima\":" + std::to_string(number % 99 + 1) +
      ",\"bolas\":40,\"maximo\":99,\"salidas\":[" + called + "],\"recientes\":[80,78,76,74,72],"
      "\"premio\":\"Se juega: bingo\",\"filas\":3,\"importe\":\"\",\"aviso\":\"\","
      "\"dados\":[\"Línea: cartón 0123\"],\"compromiso\":\"\"";
  return std::make_shared<const PageState>(PageStateOf(number, fields, nullptr));
}
