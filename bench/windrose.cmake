# Counting measurements into a wind rose: throughput and allocations per measurement.
add_executable(bench_windrose ${CMAKE_CURRENT_LIST_DIR}/bench_windrose.cpp)
target_link_libraries(bench_windrose PRIVATE compassengine benchmark::benchmark)
