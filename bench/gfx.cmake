# Drawing hot paths: list cells (measure and draw a short text with ellipsis), composition of a
# control bitmap with an opacity, rounded clips.
add_executable(gfx_bench ${CMAKE_CURRENT_LIST_DIR}/gfx_bench.cpp)
target_link_libraries(gfx_bench PRIVATE platform_gfx benchmark::benchmark)
quenbo_warnings(gfx_bench)
