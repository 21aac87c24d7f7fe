MsgBox "say ""hi"""
If x Then y = 3.25 Else y = 1E5 End If
