#include "engine/MessageHandler.h"

void MessageHandler::HandleMessage(const InputMessage& /*message*/) {}
