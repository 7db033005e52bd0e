# Caption drawing: plain, glowing and outlined text, and a whole text-control paint with picture.
add_executable(text_control_bench ${CMAKE_CURRENT_LIST_DIR}/text_control_bench.cpp)
target_link_libraries(text_control_bench PRIVATE dui_core benchmark::benchmark)
quenbo_gbk_target(text_control_bench)
