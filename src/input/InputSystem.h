#pragma once
// Turns device key codes into abstract input messages. The window callbacks report presses and
// releases; every input bound to the code becomes one queued message, and once per simulation
// tick the queue is traced and broadcast through the engine.

#include <bitset>
#include <functional>
#include <istream>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "engine/InputType.h"
#include "engine/NamedSystem.h"

struct InputMessage;

class InputSystem : public NamedSystem<SystemType::INPUT_SYSTEM> {
public:
    static InputSystem& Instance();

    // Replaces `bindings` with the entries of a mapping file: whitespace-separated triples of
    // key code, separator and input name ("87 = UP"). An entry that cannot be bound (unknown
    // name, cut short by the end of the file) ends the load with one trace error naming it (and
    // `source`, the file's path, when given); the entries before it stay bound. Returns whether
    // the whole file was read.
    bool LoadMappings(std::istream& stream, const std::string& source = std::string());

    // Press and release entries of the window callbacks; `code` is already narrowed. Keys and
    // mouse buttons share the code space (Enter and the left button are both 1) but are taken
    // away from the game separately, so they come in through entries of their own.
    void OnKeyDown(int code);
    void OnKeyUp(int code);
    void OnButtonDown(int code);
    void OnButtonUp(int code);
    void QueueMessage(std::unique_ptr<InputMessage> message);

    // Sends the queued messages, once per tick. While the engine is paused, presses are dropped
    // undelivered except those of the inputs that work while paused (WorksWhilePaused), and
    // releases are delivered. A release of an input pressed earlier in the same batch, and all
    // that follows it, waits for the next tick.
    void Update(float dt) override;
    void SendInputMessages();
    // Pausing, fullscreen and the tool toggles: what a paused game still answers to.
    static bool WorksWhilePaused(InputType input);

    // While set (a replay), the window's keys and buttons queue nothing; QueueMessage still does.
    bool devicesIgnored = false;

    // Asked at every device press: whether the tool GUI has the keyboard (a text box is being
    // typed into) or the pointer (it lies over a tool window, or the GUI holds it for a drag).
    // Such a press belongs to the GUI alone: it queues nothing, so no message is sent and no held
    // flag set, and its release is withheld with it. Releases of presses the game did receive
    // always arrive, so nothing stays held when a text box takes the keyboard. Unset: the game
    // receives everything.
    std::function<bool()> keyboardTaken;
    std::function<bool()> pointerTaken;

    // Key code -> inputs bound to it, in mapping-file order; duplicates are kept.
    std::map<int, std::vector<InputType>> bindings;

private:
    InputSystem() = default;
    void QueueBoundInputs(int code, bool pressed);
    // A press, unless `taken` says the GUI has the device: then it is remembered in `withheld`.
    void Press(int code, const std::function<bool()>& taken, std::bitset<256>& withheld);
    // A release, unless its press was withheld.
    void Release(int code, std::bitset<256>& withheld);

    std::vector<std::unique_ptr<InputMessage>> pendingMessages;
    std::mutex queueLock;
    // Reused between ticks so the dispatch allocates nothing once it has grown.
    std::vector<std::unique_ptr<InputMessage>> batch;
    std::vector<InputType> pressedInBatch;
    // Presses the GUI took, by the code's low byte, one set per device.
    std::bitset<256> withheldKeys;
    std::bitset<256> withheldButtons;
};
