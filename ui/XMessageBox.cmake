# The message box with custom buttons, part of pagewright_ui.
target_sources(pagewright_ui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/SecondTicker.cpp
  ${CMAKE_CURRENT_LIST_DIR}/XMessageBox.cpp
  ${CMAKE_CURRENT_LIST_DIR}/XMessageBoxAnswers.cpp
  ${CMAKE_CURRENT_LIST_DIR}/XMessageBoxAnswers_${PAGEWRIGHT_GUI_PLATFORM}.cpp
  ${CMAKE_CURRENT_LIST_DIR}/XMessageBoxButtons.cpp
  ${CMAKE_CURRENT_LIST_DIR}/XMessageBoxCopyText.cpp
  ${CMAKE_CURRENT_LIST_DIR}/XMessageBoxDialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/XMessageBoxLayout.cpp
)
