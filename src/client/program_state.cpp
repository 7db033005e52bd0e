#include "client/program_state.h"

namespace client {

ProgramState& program_state() {
  static ProgramState state;
  return state;
}

void reset_program_state() { program_state() = ProgramState{}; }

}  // namespace client
