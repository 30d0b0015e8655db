 Select 
     * 
 From 
     S_System 
 Where 
     SS_ID = 'OutFolder'
