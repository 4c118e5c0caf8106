# One interface target carries the warning flags for every target of ours,
# and one more carries the Qt defines for the Qt-based targets.
add_library(dvt_warnings INTERFACE)
if(MSVC)
  target_compile_options(dvt_warnings INTERFACE /W4 $<$<BOOL:${DVT_WERROR}>:/WX>)
else()
  target_compile_options(dvt_warnings INTERFACE -Wall -Wextra -Wpedantic -Wshadow
                                                $<$<BOOL:${DVT_WERROR}>:-Werror>)
endif()

add_library(dvt_qt_defaults INTERFACE)
target_compile_definitions(dvt_qt_defaults INTERFACE QT_NO_CAST_FROM_ASCII
                                                     QT_NO_CONTEXTLESS_CONNECT
                                                     QT_USE_QSTRINGBUILDER)
target_link_libraries(dvt_qt_defaults INTERFACE dvt_warnings)

if(DVT_SANITIZE STREQUAL "thread")
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
elseif(DVT_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
                      -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
