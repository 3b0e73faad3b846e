#include "engine/EnumNames.h"

// Spelling each printable name out of the enumerator itself keeps the two from drifting apart.
#define ENUM_NAME_ENTRY(Enum, Value) \
    { Enum::Value, #Enum "::" #Value }

// Each table is a function-local static so that code running in other static initializers can
// already use it; kTablesBuiltBeforeMain below builds them all before main, so that they are
// read-only for the whole run.

template <>
const EnumNameTable<ComponentType>& NameTable() {
    static const EnumNameTable<ComponentType> table{
#define COMPONENT_TYPE(Name, value, fanOutPosition, jsonKey) ENUM_NAME_ENTRY(ComponentType, Name),
#include "entities/ComponentTypes.def"
    };
    return table;
}

template <>
const EnumNameTable<Orientation>& NameTable() {
    static const EnumNameTable<Orientation> table{
        ENUM_NAME_ENTRY(Orientation, INVALID), ENUM_NAME_ENTRY(Orientation, NORTH_EAST),
        ENUM_NAME_ENTRY(Orientation, EAST),    ENUM_NAME_ENTRY(Orientation, SOUTH_EAST),
        ENUM_NAME_ENTRY(Orientation, SOUTH),   ENUM_NAME_ENTRY(Orientation, SOUTH_WEST),
        ENUM_NAME_ENTRY(Orientation, WEST),    ENUM_NAME_ENTRY(Orientation, NORTH_WEST),
        ENUM_NAME_ENTRY(Orientation, NORTH),
    };
    return table;
}

template <>
const EnumNameTable<SystemType>& NameTable() {
    static const EnumNameTable<SystemType> table{
        ENUM_NAME_ENTRY(SystemType, INPUT_SYSTEM),
        ENUM_NAME_ENTRY(SystemType, INPUT_STATE_SYSTEM),
        ENUM_NAME_ENTRY(SystemType, REPLAY_STORAGE_SYSTEM),
        ENUM_NAME_ENTRY(SystemType, REPLAY_RUN_SYSTEM),
        ENUM_NAME_ENTRY(SystemType, GRAPHICS_SYSTEM),
        ENUM_NAME_ENTRY(SystemType, ENTITY_MANAGER_SYSTEM),
        ENUM_NAME_ENTRY(SystemType, TRACE_LOG_SYSTEM),
        ENUM_NAME_ENTRY(SystemType, COLLIDER_SYSTEM),
        ENUM_NAME_ENTRY(SystemType, DEBUG_SYSTEM),
        ENUM_NAME_ENTRY(SystemType, WINDOW_CREATION_SYSTEM),
        ENUM_NAME_ENTRY(SystemType, EDITOR_SYSTEM),
        ENUM_NAME_ENTRY(SystemType, AUDIO_SYSTEM),
        ENUM_NAME_ENTRY(SystemType, SCENE_SYSTEM),
        ENUM_NAME_ENTRY(SystemType, DEBUG_DRAW_SYSTEM),
        ENUM_NAME_ENTRY(SystemType, CHEAT_SYSTEM),
        ENUM_NAME_ENTRY(SystemType, WINDOW_MODE_SYSTEM),
    };
    return table;
}

template <>
const EnumNameTable<UpdateLayer>& NameTable() {
    static const EnumNameTable<UpdateLayer> table{
        ENUM_NAME_ENTRY(UpdateLayer, FASTEST), ENUM_NAME_ENTRY(UpdateLayer, FAST),
        ENUM_NAME_ENTRY(UpdateLayer, AVERAGE), ENUM_NAME_ENTRY(UpdateLayer, SLOW),
        ENUM_NAME_ENTRY(UpdateLayer, SLOWEST), ENUM_NAME_ENTRY(UpdateLayer, UPDATE_LAYER_COUNT),
    };
    return table;
}

template <>
const EnumNameTable<WindowRenderState>& NameTable() {
    static const EnumNameTable<WindowRenderState> table{
        ENUM_NAME_ENTRY(WindowRenderState, INVISIBLE),
        ENUM_NAME_ENTRY(WindowRenderState, VISIBLE),
    };
    return table;
}

template <>
const EnumNameTable<WindowSectionMode>& NameTable() {
    static const EnumNameTable<WindowSectionMode> table{
        ENUM_NAME_ENTRY(WindowSectionMode, NORMAL),
        ENUM_NAME_ENTRY(WindowSectionMode, REARRANGEABLE),
    };
    return table;
}

template <>
const EnumNameTable<InputType>& NameTable() {
    static const EnumNameTable<InputType> table{
        ENUM_NAME_ENTRY(InputType, UNKNOWN),
        ENUM_NAME_ENTRY(InputType, JUMP),
        ENUM_NAME_ENTRY(InputType, UP),
        ENUM_NAME_ENTRY(InputType, LEFT),
        ENUM_NAME_ENTRY(InputType, DOWN),
        ENUM_NAME_ENTRY(InputType, RIGHT),
        ENUM_NAME_ENTRY(InputType, ROTATE_RIGHT),
        ENUM_NAME_ENTRY(InputType, ROTATE_LEFT),
        ENUM_NAME_ENTRY(InputType, SCALE_UP),
        ENUM_NAME_ENTRY(InputType, SCALE_DOWN),
        ENUM_NAME_ENTRY(InputType, TOGGLEEDITOR),
        ENUM_NAME_ENTRY(InputType, TOGGLEDEBUG),
        ENUM_NAME_ENTRY(InputType, CLICK),
        ENUM_NAME_ENTRY(InputType, RIGHT_CLICK),
        ENUM_NAME_ENTRY(InputType, BEEP),
        ENUM_NAME_ENTRY(InputType, _CUSTOM),
        ENUM_NAME_ENTRY(InputType, _PISTOL),
        ENUM_NAME_ENTRY(InputType, _RIFLE),
        ENUM_NAME_ENTRY(InputType, _SNIPER),
        ENUM_NAME_ENTRY(InputType, _SHOTGUN),
        ENUM_NAME_ENTRY(InputType, _FLAMETHROWER),
        ENUM_NAME_ENTRY(InputType, _CURVEBALL),
        ENUM_NAME_ENTRY(InputType, SHIFT),
        ENUM_NAME_ENTRY(InputType, _INVINCIBILITY_ON),
        ENUM_NAME_ENTRY(InputType, _INVINCIBILITY_OFF),
        ENUM_NAME_ENTRY(InputType, _LIGHTS_ON),
        ENUM_NAME_ENTRY(InputType, _LIGHTS_OFF),
        ENUM_NAME_ENTRY(InputType, _PHASING_ON),
        ENUM_NAME_ENTRY(InputType, _PHASING_OFF),
        ENUM_NAME_ENTRY(InputType, _NUKE),
        ENUM_NAME_ENTRY(InputType, TOGGLE_FULLSCREEN),
        ENUM_NAME_ENTRY(InputType, PAUSE),
        ENUM_NAME_ENTRY(InputType, TOGGLESETTINGS),
        ENUM_NAME_ENTRY(InputType, TOGGLETOOLS),
        ENUM_NAME_ENTRY(InputType, cInputStateMax),
    };
    return table;
}

template <>
const EnumNameTable<MessageTag>& NameTable() {
    static const EnumNameTable<MessageTag> table{
        ENUM_NAME_ENTRY(MessageTag, MESSAGECONTINUITY),
    };
    return table;
}

#undef ENUM_NAME_ENTRY

namespace {

bool BuildAllTables() {
    NameTable<ComponentType>();
    NameTable<Orientation>();
    NameTable<SystemType>();
    NameTable<UpdateLayer>();
    NameTable<WindowRenderState>();
    NameTable<WindowSectionMode>();
    NameTable<InputType>();
    NameTable<MessageTag>();
    return true;
}

[[maybe_unused]] const bool kTablesBuiltBeforeMain = BuildAllTables();

}  // namespace
