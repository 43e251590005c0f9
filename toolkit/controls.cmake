# The toolkit's controls: knobs, button, switch, value display and text edit.
# The pop-up text field they open belongs to the platform library. Included
# from the top level after the toolkit itself.
set(TK42_CONTROLS_DIR ${CMAKE_CURRENT_LIST_DIR})
add_library(tk42_controls STATIC
  ${TK42_CONTROLS_DIR}/anim_knob.cpp
  ${TK42_CONTROLS_DIR}/control.cpp
  ${TK42_CONTROLS_DIR}/horizontal_switch.cpp
  ${TK42_CONTROLS_DIR}/knob.cpp
  ${TK42_CONTROLS_DIR}/on_off_button.cpp
  ${TK42_CONTROLS_DIR}/param_display.cpp
  ${TK42_CONTROLS_DIR}/text_edit.cpp)
target_link_libraries(tk42_controls PUBLIC tk42_toolkit)
