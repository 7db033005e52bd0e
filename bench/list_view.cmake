# Filling and painting the drawn list view against a QTableWidget filled with the same rows,
# plus the cost of one wheel step and one hover change at 100 and 100,000 rows.
if(TARGET dui_controls)
  add_executable(list_view_bench ${CMAKE_CURRENT_LIST_DIR}/list_view_bench.cpp)
  target_link_libraries(list_view_bench PRIVATE dui_controls platform_testing Qt6::Widgets benchmark::benchmark)
  quenbo_warnings(list_view_bench)  # UTF-8: Qt headers do not compile with a GBK execution charset
endif()
