# The client's category load (click to painted list) against the six statements through the C
# API alone, start-up to the main window's first frame, and the memory with 10,000 rows listed.
if(TARGET quenbo_client AND TARGET quenbo_test_database)
  add_executable(client_load_bench ${CMAKE_CURRENT_LIST_DIR}/client_load_bench.cpp)
  target_link_libraries(client_load_bench PRIVATE quenbo_client quenbo_test_database quenbo_http_test_server
                        platform_testing benchmark::benchmark)
  target_include_directories(client_load_bench PRIVATE ${CMAKE_SOURCE_DIR}/tests/support)
  quenbo_gbk_target(client_load_bench)
endif()
