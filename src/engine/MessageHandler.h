#pragma once
// Receiving side of the message broadcast. Systems take it as their second base, components as
// their only base, so every handler sees every message and decides for itself whether it cares.

struct InputMessage;

class MessageHandler {
public:
    virtual void HandleMessage(const InputMessage& message);

protected:
    ~MessageHandler() = default;
};
