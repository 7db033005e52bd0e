# Deployment values compiled into the program. The defaults match the local community
# database that scripts/db creates; point a build at a real community database with
#   cmake -DQUENBO_DB_HOST=... -DQUENBO_DB_USER=... -DQUENBO_DB_PASSWORD=... ...
set(QUENBO_DB_HOST "127.0.0.1" CACHE STRING "Community database host")
set(QUENBO_DB_PORT "3306" CACHE STRING "Community database port (3306 is the client library's default)")
set(QUENBO_DB_USER "quenbo" CACHE STRING "Community database user; the database is <user>_db")
set(QUENBO_DB_PASSWORD "qb2024pwd" CACHE STRING "Community database password (9 characters)")
set(QUENBO_STATS_SITE_ID "Tallyx20241021" CACHE STRING "Visit statistics site identifier (\"Tallyx\" + 8 digits)")
set(QUENBO_IP_PAGE_URL "http://127.0.0.1:8765/ip" CACHE STRING "What-is-my-IP page address")
string(LENGTH "${QUENBO_DB_PASSWORD}" _pw_len)
if(NOT _pw_len EQUAL 9)
  message(WARNING "QUENBO_DB_PASSWORD should be 9 characters long")
endif()

configure_file(${CMAKE_CURRENT_LIST_DIR}/deployment.h.in ${CMAKE_BINARY_DIR}/generated/deployment.h)
add_library(quenbo_deployment INTERFACE)
target_include_directories(quenbo_deployment INTERFACE ${CMAKE_BINARY_DIR}/generated)
