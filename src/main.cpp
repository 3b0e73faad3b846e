#include "engine/Program.h"

int main() {
    return Program().Run();
}
