# Reading a category through the data store against the C API alone (needs the test server).
if(TARGET quenbo_test_database)
  add_executable(datastore_bench ${CMAKE_CURRENT_LIST_DIR}/datastore_bench.cpp)
  target_link_libraries(datastore_bench PRIVATE quenbo_datastore quenbo_test_database benchmark::benchmark)
  quenbo_gbk_target(datastore_bench)
endif()
