# Host composition: recomposing a row-sized dirty rectangle and the whole main-window-sized host.
add_executable(composition_bench ${CMAKE_CURRENT_LIST_DIR}/composition_bench.cpp)
target_link_libraries(composition_bench PRIVATE dui_core benchmark::benchmark)
quenbo_gbk_target(composition_bench)
