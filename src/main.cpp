#include "engine/Program.h"
#include "game/GameComposition.h"

int main() {
    return Program(GameComposition()).Run();
}
